#pragma once
#include <cstddef>
#include <cstdint>

// Encoders of the Subject header. Each follows a two-call protocol: a first call reports the
// size the output needs, the caller provides a buffer of that size and calls again.

// One Q-encoded word with the charset "ISO-8859-1". With *capacity 0: stores the needed size
// and returns 0. With a capacity below the needed size: returns 0 and writes nothing.
// Otherwise writes the word and its null and returns the word's length.
// Bytes of 0x80 and more, and control bytes (below 0x20 and 0x7F), become "=XX" so that
// no byte of the text can break the header line.
size_t EncodeWordQ(const char* text, size_t length, char* output, size_t* capacity);

// One B-encoded word with the charset "ISO-2022-JP"; the same protocol as EncodeWordQ.
size_t EncodeWordB(const uint8_t* bytes, size_t length, char* output, size_t* capacity);

// Converts null-terminated Shift_JIS text to ISO-2022-JP. When *capacity is not greater than
// the converted length, stores that length and returns false; otherwise writes the bytes and a
// null and returns true (so the caller passes the stored length plus one).
bool ShiftJisToJis(const char* text, char* output, size_t* capacity);
