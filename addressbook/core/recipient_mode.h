#pragma once
// The address book's mode, from its command-line tail (everything after the program name),
// compared as a whole and case-sensitively: exactly "/p" or "/o" start recipient mode.
enum RecipientMode { kRecipientOff = 0, kRecipientP = 1, kRecipientO = 2 };

RecipientMode RecipientModeFrom(const char* commandTail);
