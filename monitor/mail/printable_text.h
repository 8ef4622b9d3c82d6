#pragma once

// Letters, digits, punctuation and blanks are printable, by the Windows character classes. The
// tab is a control character like the line break, and is not.
bool IsPrintableCharacter(wchar_t c);

// Drops the text's trailing characters that are not printable (a server reply's CR LF, the line
// breaks after a list of addresses).
void TrimTrailingNonPrintable(wchar_t* text);
