#include "monitor/mail/header_encoding.h"
#include "monitor/mail/base64.h"
#include <cstring>

namespace {

constexpr char kPrefixQ[] = "=?ISO-8859-1?Q?";
constexpr char kPrefixB[] = "=?ISO-2022-JP?B?";
constexpr char kSuffix[] = "?=";
constexpr size_t kSizeQ = 19; // prefix, suffix, null and one spare byte
constexpr size_t kSizeB = 20;

bool NeedsQuoting(uint8_t byte)
{
    return byte >= 0x80 || byte < 0x20 || byte == 0x7F;
}

char UpperHexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0x0F];
}

size_t AppendText(char* output, size_t at, const char* text)
{
    const size_t length = std::strlen(text);
    std::memcpy(output + at, text, length);
    return at + length;
}

} // namespace

size_t EncodeWordQ(const char* text, size_t length, char* output, size_t* capacity)
{
    size_t needed = length + kSizeQ;
    for (size_t i = 0; i < length; ++i)
        if (NeedsQuoting(static_cast<uint8_t>(text[i])))
            needed += 2;
    if (*capacity == 0) {
        *capacity = needed;
        return 0;
    }
    if (*capacity < needed)
        return 0;

    size_t at = AppendText(output, 0, kPrefixQ);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = static_cast<uint8_t>(text[i]);
        if (NeedsQuoting(byte)) {
            output[at++] = '=';
            output[at++] = UpperHexDigit(byte >> 4);
            output[at++] = UpperHexDigit(byte);
        } else {
            output[at++] = static_cast<char>(byte);
        }
    }
    at = AppendText(output, at, kSuffix);
    output[at] = '\0';
    return at;
}

size_t EncodeWordB(const uint8_t* bytes, size_t length, char* output, size_t* capacity)
{
    const size_t needed = kSizeB + Base64Length(length);
    if (*capacity == 0) {
        *capacity = needed;
        return 0;
    }
    if (*capacity < needed)
        return 0;

    size_t at = AppendText(output, 0, kPrefixB);
    for (size_t i = 0; i < length; i += 3) {
        const size_t count = length - i < 3 ? length - i : 3;
        EncodeBase64Group(bytes + i, count, output + at);
        at += 4;
    }
    at = AppendText(output, at, kSuffix);
    output[at] = '\0';
    return at;
}

namespace {

// JIS X 0208 codes of the half-width katakana 0xA0 to 0xDF.
constexpr uint16_t kHalfWidthKatakana[64] = {
    0x2121, 0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521,
    0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543,
    0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D,
    0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D,
    0x253F, 0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C,
    0x254D, 0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E,
    0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,
};

constexpr uint8_t kToTwoByte[] = {0x1B, 0x24, 0x42}; // ESC $ B
constexpr uint8_t kToOneByte[] = {0x1B, 0x28, 0x42}; // ESC ( B

enum class SjisClass { Single, Katakana, DoubleByte };

// A lead byte followed by the terminating null has no second byte: it is taken as a single
// byte, so that the conversion never reads past the text.
SjisClass ClassifyAt(const uint8_t* text)
{
    const uint8_t byte = text[0];
    if (byte >= 0xA0 && byte <= 0xDF)
        return SjisClass::Katakana;
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return lead && text[1] != 0 ? SjisClass::DoubleByte : SjisClass::Single;
}

// Walks the text once, handing every output byte to emit. Used for both passes, so that
// sizing and converting cannot disagree.
template <typename Emit>
void WalkShiftJis(const uint8_t* text, Emit emit)
{
    bool twoByteMode = false;
    auto enterTwoByte = [&] {
        if (!twoByteMode)
            for (uint8_t b : kToTwoByte)
                emit(b);
        twoByteMode = true;
    };
    while (*text != 0) {
        switch (ClassifyAt(text)) {
        case SjisClass::DoubleByte: {
            uint8_t s1 = text[0];
            uint8_t s2 = text[1];
            enterTwoByte();
            if (s1 >= 0xE0)
                s1 = static_cast<uint8_t>(s1 - 0x40);
            uint8_t j1 = static_cast<uint8_t>(2 * (s1 - 0x81) + 0x21);
            if (s2 >= 0x80)
                s2 = static_cast<uint8_t>(s2 - 1);
            uint8_t j2;
            if (s2 >= 0x9E) {
                j1 = static_cast<uint8_t>(j1 + 1);
                j2 = static_cast<uint8_t>(s2 - 0x9E + 0x21);
            } else {
                j2 = static_cast<uint8_t>(s2 - 0x40 + 0x21);
            }
            emit(j1);
            emit(j2);
            text += 2;
            break;
        }
        case SjisClass::Katakana: {
            const uint16_t code = kHalfWidthKatakana[text[0] - 0xA0];
            enterTwoByte();
            emit(static_cast<uint8_t>(code >> 8));
            emit(static_cast<uint8_t>(code & 0xFF));
            text += 1;
            break;
        }
        case SjisClass::Single:
            if (twoByteMode)
                for (uint8_t b : kToOneByte)
                    emit(b);
            twoByteMode = false;
            emit(text[0]);
            text += 1;
            break;
        }
    }
}

} // namespace

bool ShiftJisToJis(const char* text, char* output, size_t* capacity)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
    size_t needed = 0;
    WalkShiftJis(bytes, [&](uint8_t) { ++needed; });
    if (*capacity <= needed) {
        *capacity = needed;
        return false;
    }
    size_t at = 0;
    WalkShiftJis(bytes, [&](uint8_t b) { output[at++] = static_cast<char>(b); });
    output[at] = '\0';
    return true;
}
