#include "monitor/mail/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

char Base64Digit(uint8_t value)
{
    return value < 64 ? kAlphabet[value] : '=';
}

void EncodeBase64Group(const uint8_t* bytes, size_t count, char out[4])
{
    const uint8_t a = bytes[0];
    const uint8_t b = count > 1 ? bytes[1] : 0;
    const uint8_t c = count > 2 ? bytes[2] : 0;
    out[0] = Base64Digit(a >> 2);
    out[1] = Base64Digit(((a & 3) << 4) | (b >> 4));
    out[2] = Base64Digit(count > 1 ? ((b & 0x0F) << 2) | (c >> 6) : kBase64Padding);
    out[3] = Base64Digit(count > 2 ? c & 0x3F : kBase64Padding);
}

size_t EncodeBase64Block(const uint8_t* bytes, size_t count, char* out)
{
    const size_t whole = count / 3 * 3;
    char* at = out;
    // The whole groups straight through the alphabet: a job's every byte passes here.
    for (size_t i = 0; i < whole; i += 3, at += 4) {
        const uint32_t group = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        at[0] = kAlphabet[group >> 18];
        at[1] = kAlphabet[(group >> 12) & 0x3F];
        at[2] = kAlphabet[(group >> 6) & 0x3F];
        at[3] = kAlphabet[group & 0x3F];
    }
    if (whole < count) {
        EncodeBase64Group(bytes + whole, count - whole, at);
        at += 4;
    }
    return static_cast<size_t>(at - out);
}
