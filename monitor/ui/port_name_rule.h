#pragma once
#include <cstddef>

// The rule for the name of a new port: the prefix "NMX" in any case, at most kMaxPortNameChars
// characters, none of the characters ;\/*?"<>|()' and nothing but letters, digits, punctuation
// and blanks (IsPortNameCharacter).
constexpr std::size_t kMaxPortNameChars = 31;

bool IsValidPortName(const wchar_t* name);

// Whether the name begins with "NMX" in any case: the monitor's own ports.
bool HasMonitorPortPrefix(const wchar_t* name);
