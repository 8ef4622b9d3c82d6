#pragma once

// Whether a character may stand in a port name: a letter, digit, punctuation mark or blank by the
// Windows character classes that the dialog's users see, never a control character. The same
// table serves the Windows build and the native one, whatever their C libraries classify.
bool IsPortNameCharacter(char32_t c);
