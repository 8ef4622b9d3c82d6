#pragma once
#include <cstddef>
#include <cstdint>

// Base64 of MIME, shared by the attachment and the encoded Subject.

// Marks a padding position of a group; comes out as "=".
constexpr uint8_t kBase64Padding = 0xFF;

// 0-25 "A"-"Z", 26-51 "a"-"z", 52-61 "0"-"9", 62 "+", 63 "/", anything else "=".
char Base64Digit(uint8_t value);

// Encodes one group of 1 to 3 bytes into four characters; a short group is padded with "=".
void EncodeBase64Group(const uint8_t* bytes, size_t count, char out[4]);

// Encodes count bytes group by group into Base64Length(count) characters; only the last group
// may be short and padded. Returns the number of characters.
size_t EncodeBase64Block(const uint8_t* bytes, size_t count, char* out);

// Characters that the base64 text of byteCount bytes takes: 4 for every started group of 3.
constexpr size_t Base64Length(size_t byteCount) { return (byteCount + 2) / 3 * 4; }
