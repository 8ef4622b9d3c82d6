#pragma once

// The destination list field of the port configuration dialog holds at most this many characters.
constexpr int kServAddrEditChars = 13000;
// Room for the list in any ANSI code page: at most three bytes a character.
constexpr int kAnsiServAddrBytes = 3 * kServAddrEditChars + 1;

// Commas and spaces typed between the addresses of a destination list become ";", the list's
// separator (so ", " becomes ";;"). Works on the ANSI form of the list: neither byte occurs inside
// a double-byte character of an ANSI code page.
void ReplaceAddressSeparators(char* ansiText);
