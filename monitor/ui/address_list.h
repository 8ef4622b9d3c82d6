#pragma once

// Normalisation of a typed destination address list, whose addresses are separated by ";".

// Commas and spaces typed between the addresses become ";" (so ", " becomes ";;"). Works on the
// ANSI form of the list: neither byte occurs inside a double-byte character of an ANSI code page.
void ReplaceAddressSeparators(char* ansiText);

// Drops the characters at the end of the text that are not printable (line breaks, for example).
void TrimTrailingNonPrintable(wchar_t* text);
