#include "monitor/mail/base64.h"

char Base64Digit(uint8_t value)
{
    if (value < 26)
        return static_cast<char>('A' + value);
    if (value < 52)
        return static_cast<char>('a' + (value - 26));
    if (value < 62)
        return static_cast<char>('0' + (value - 52));
    if (value == 62)
        return '+';
    if (value == 63)
        return '/';
    return '=';
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
