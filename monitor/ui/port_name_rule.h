#pragma once
#include <cstddef>

// The rule for the name of a new port: the prefix "NMX" in any case, at most kMaxPortNameChars
// characters, none of the characters ;\/*?"<>|()' and nothing but letters, digits, punctuation
// and blanks.
constexpr std::size_t kMaxPortNameChars = 31;

bool IsValidPortName(const wchar_t* name);

// Letters, digits, punctuation and blanks count as printable; control characters (a tab or a
// line break too) do not.
bool IsPrintableCharacter(wchar_t c);
