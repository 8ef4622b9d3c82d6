#pragma once

// Commas and spaces typed between the addresses of a destination list become ";", the list's
// separator (so ", " becomes ";;"). Works on the ANSI form of the list: neither byte occurs inside
// a double-byte character of an ANSI code page.
void ReplaceAddressSeparators(char* ansiText);
