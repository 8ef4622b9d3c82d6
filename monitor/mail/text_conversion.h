#pragma once
#include <windows.h>

// The monitor's conversions between UTF-16 and the system's ANSI code page.

// Converts to the ANSI code page; a text whose converted form with its null does not fit the
// capacity (in bytes) becomes the empty text.
void ToAnsiText(const WCHAR* text, char* out, int capacity);

// ToAnsiText, and true only when the converted text stands for exactly the same characters: a
// character the code page cannot hold becomes another one (a best fit, such as "l" for the
// Polish l with stroke, or the default character "?"), which in an address names someone else.
// A text that does not fit the capacity is not exact either.
bool ToAnsiExact(const WCHAR* text, char* out, int capacity);

// Converts from the ANSI code page, then removes trailing characters that are not letters,
// digits, punctuation or blanks (a server reply loses its CR LF). Capacity in characters.
void ToWideTrimmed(const char* text, WCHAR* out, int capacity);

// A destination list as typed: separators become ";" (ReplaceAddressSeparators), the list goes
// through the ANSI code page, as the mail sends it, and loses trailing line breaks.
void NormaliseAddressList(WCHAR* text, int capacity);
