#include "monitor/mail/header_encoding.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Runs the two-call protocol as the mail composition does.
std::string WordQ(const std::string& text)
{
    size_t capacity = 0;
    EXPECT_EQ(EncodeWordQ(text.data(), text.size(), nullptr, &capacity), 0u);
    std::vector<char> out(capacity, '\x55');
    const size_t length = EncodeWordQ(text.data(), text.size(), out.data(), &capacity);
    EXPECT_EQ(length, std::strlen(out.data()));
    return std::string(out.data(), length);
}

std::string WordB(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t capacity = 0;
    EXPECT_EQ(EncodeWordB(data, bytes.size(), nullptr, &capacity), 0u);
    std::vector<char> out(capacity, '\x55');
    const size_t length = EncodeWordB(data, bytes.size(), out.data(), &capacity);
    EXPECT_EQ(length, std::strlen(out.data()));
    return std::string(out.data(), length);
}

std::string ToJis(const std::string& sjis)
{
    size_t needed = 0;
    EXPECT_FALSE(ShiftJisToJis(sjis.c_str(), nullptr, &needed));
    std::vector<char> out(needed + 1, '\x55');
    size_t capacity = out.size();
    EXPECT_TRUE(ShiftJisToJis(sjis.c_str(), out.data(), &capacity));
    EXPECT_EQ(out[needed], '\0');
    return std::string(out.data(), needed);
}

const std::string kEscTwoByte = "\x1B$B";
const std::string kEscOneByte = "\x1B(B";

} // namespace

TEST(EncodeWordQ, WorkedValues)
{
    struct Case { std::string text; std::string word; };
    const Case cases[] = {
        {"Remote Print Job", "=?ISO-8859-1?Q?Remote Print Job?="},
        {"Caf\xE9", "=?ISO-8859-1?Q?Caf=E9?="},
        {"", "=?ISO-8859-1?Q?" "?="},
        {"a=b?c_d", "=?ISO-8859-1?Q?a=b?c_d?="},
        {"\x80\xFF", "=?ISO-8859-1?Q?=80=FF?="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WordQ(c.text), c.word);
}

TEST(EncodeWordQ, ControlBytesAreQuotedSoTheyCannotBreakTheHeaderLine)
{
    EXPECT_EQ(WordQ("a\r\nBcc: x"), "=?ISO-8859-1?Q?a=0D=0ABcc: x?=");
    EXPECT_EQ(WordQ(std::string("\x00\x09\x1F\x7F", 4)), "=?ISO-8859-1?Q?=00=09=1F=7F?=");
}

TEST(EncodeWordQ, SizeIsLengthPlusTwoPerQuotedBytePlusNineteen)
{
    size_t capacity = 0;
    EncodeWordQ("Caf\xE9", 4, nullptr, &capacity);
    EXPECT_EQ(capacity, 4u + 2 + 19);
    capacity = 0;
    EncodeWordQ("a\r\n", 3, nullptr, &capacity);
    EXPECT_EQ(capacity, 3u + 4 + 19);
}

TEST(EncodeWordQ, TooSmallCapacityWritesNothing)
{
    char out[25];
    std::memset(out, 'x', sizeof out);
    size_t capacity = 24; // one below the 25 that "Caf\xE9" needs
    EXPECT_EQ(EncodeWordQ("Caf\xE9", 4, out, &capacity), 0u);
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
    capacity = 25;
    EXPECT_EQ(EncodeWordQ("Caf\xE9", 4, out, &capacity), 23u);
}

TEST(EncodeWordB, WorkedValues)
{
    EXPECT_EQ(WordB("Remote Print Job"), "=?ISO-2022-JP?B?UmVtb3RlIFByaW50IEpvYg==?=");
    EXPECT_EQ(WordB(kEscTwoByte + "\x25\x46\x25\x39\x25\x48"), "=?ISO-2022-JP?B?GyRCJUYlOSVI?=");
    EXPECT_EQ(WordB(kEscTwoByte + "\x34\x41\x3B\x7A"), "=?ISO-2022-JP?B?GyRCNEE7eg==?=");
    EXPECT_EQ(WordB(""), "=?ISO-2022-JP?B?" "?=");
}

TEST(EncodeWordB, SizeIsTwentyPlusFourPerStartedGroup)
{
    for (size_t length : {0u, 1u, 3u, 4u, 16u}) {
        size_t capacity = 0;
        EncodeWordB(reinterpret_cast<const uint8_t*>("0123456789abcdef"), length, nullptr, &capacity);
        EXPECT_EQ(capacity, 20 + (length + 2) / 3 * 4) << "length " << length;
    }
}

TEST(EncodeWordB, TooSmallCapacityWritesNothing)
{
    char out[28];
    std::memset(out, 'x', sizeof out);
    size_t capacity = 23;
    EXPECT_EQ(EncodeWordB(reinterpret_cast<const uint8_t*>("abc"), 3, out, &capacity), 0u);
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
}

TEST(ShiftJisToJis, WorkedConversions)
{
    struct Case { const char* name; std::string sjis; std::string jis; };
    const Case cases[] = {
        {"full-width katakana", "\x83\x65\x83\x58\x83\x67", kEscTwoByte + "\x25\x46\x25\x39\x25\x48"},
        {"half-width katakana", "\xC3\xBD\xC4", kEscTwoByte + "\x25\x46\x25\x39\x25\x48"},
        {"ascii then kana", "A\x83\x65", "A" + kEscTwoByte + "\x25\x46"},
        {"kana then ascii", "\x83\x65" "A", kEscTwoByte + "\x25\x46" + kEscOneByte + "A"},
        {"kanji", "\x8A\xBF\x8E\x9A", kEscTwoByte + "\x34\x41\x3B\x7A"},
        {"plain ascii", "Remote Print Job", "Remote Print Job"},
        {"empty", "", ""},
        {"lead byte at 0xE0 and up", "\xE0\x40", kEscTwoByte + "\x5F\x21"},
        {"bytes 0xFD to 0xFF are single", "\xFD\xFE\xFF", "\xFD\xFE\xFF"},
        {"0xA0 is the ideographic space", "\xA0", kEscTwoByte + "\x21\x21"},
        {"sound marks stay separate", "\xB6\xDE", kEscTwoByte + "\x25\x2B\x21\x2B"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToJis(c.sjis), c.jis) << c.name;
}

TEST(ShiftJisToJis, EveryHalfWidthKatakanaHasItsTableCode)
{
    const uint16_t expected[64] = {
        0x2121, 0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527,
        0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A,
        0x252B, 0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F,
        0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552,
        0x2555, 0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568,
        0x2569, 0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};
    for (int b = 0xA0; b <= 0xDF; ++b) {
        const uint16_t code = expected[b - 0xA0];
        const std::string jis = ToJis(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(jis, kEscTwoByte + static_cast<char>(code >> 8) + static_cast<char>(code & 0xFF))
            << "byte " << std::hex << b;
    }
}

TEST(ShiftJisToJis, CapacityMustExceedTheConvertedLength)
{
    const char* text = "\x83\x65"; // converts to 5 bytes
    char out[8];
    size_t capacity = 5;
    EXPECT_FALSE(ShiftJisToJis(text, out, &capacity));
    EXPECT_EQ(capacity, 5u);
    capacity = 6;
    EXPECT_TRUE(ShiftJisToJis(text, out, &capacity));
    EXPECT_EQ(std::string(out), kEscTwoByte + "\x25\x46");
}

TEST(ShiftJisToJis, LeadByteWithoutSecondByteIsCopiedAndNothingIsReadPastTheText)
{
    EXPECT_EQ(ToJis("A\x83"), "A\x83");
    EXPECT_EQ(ToJis("\x83\x65\x83"), kEscTwoByte + "\x25\x46" + kEscOneByte + "\x83");
}

TEST(SubjectForJapaneseUser, DefaultSubjectEncodesAsTheWorkedWord)
{
    EXPECT_EQ(WordB(ToJis("Remote Print Job")), "=?ISO-2022-JP?B?UmVtb3RlIFByaW50IEpvYg==?=");
    EXPECT_EQ(WordB(ToJis("\xC3\xBD\xC4")), "=?ISO-2022-JP?B?GyRCJUYlOSVI?=");
    EXPECT_EQ(WordB(ToJis("\x8A\xBF\x8E\x9A")), "=?ISO-2022-JP?B?GyRCNEE7eg==?=");
}
