#pragma once
#include <cstdint>

// Rules that turn configured address texts (ANSI, null-terminated) into the sender text and
// the bare mailboxes of the SMTP envelope. *size holds the output capacity in bytes on entry
// and the size needed, terminator included, on return.

// Appended to a sender text that lacks a domain. ".invalid" is reserved and never resolves,
// so a completed sender can never name someone else's real domain.
constexpr char kAtDefaultDomain[] = "@velloprint.invalid";
constexpr const char* kDefaultDomain = kAtDefaultDomain + 1;
// Used when the sender text is empty.
constexpr char kPlaceholderSender[] = "print@velloprint.invalid";

// Completes a sender text: an empty text becomes the placeholder, a text without "@" gets
// "@" and the default domain, a domain without "." gets ".com". Fails, writing nothing,
// when the text is not at least two bytes shorter than the capacity.
bool NormalizeSenderAddress(const char* text, char* output, uint32_t* size);

// Picks the mailbox out of an address text: from after the last double quotation mark (else
// ")", else "<") before the first "@" up to the first double quotation mark, "(" or ">" after
// it. A text without "@" fails with *size set to all bits; a mailbox that does not fit fails
// with *size set to the size it needs.
bool ExtractMailbox(const char* text, char* output, uint32_t* size);

// True when the text holds a control byte (below 0x20, or 0x7F): such a text must not go on
// the wire, where it could end a line early or start a command.
bool HasControlByte(const char* text);
