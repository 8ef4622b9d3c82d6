#include "monitor/mail/base64.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string EncodeAll(const std::string& bytes)
{
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        char group[4];
        const size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        EncodeBase64Group(reinterpret_cast<const uint8_t*>(bytes.data()) + i, count, group);
        out.append(group, 4);
    }
    return out;
}

} // namespace

TEST(Base64Digit, MapsEverySixBitValueToTheMimeAlphabet)
{
    const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned v = 0; v < 64; ++v)
        EXPECT_EQ(Base64Digit(static_cast<uint8_t>(v)), alphabet[v]) << "value " << v;
}

TEST(Base64Digit, ValuesOutsideSixBitsArePadding)
{
    for (unsigned v : {64u, 100u, 0xFEu, 0xFFu})
        EXPECT_EQ(Base64Digit(static_cast<uint8_t>(v)), '=') << "value " << v;
}

TEST(Base64Group, WorkedValuesOfOneTwoAndThreeBytes)
{
    struct Case { std::string bytes; std::string encoded; };
    const Case cases[] = {
        {"A", "QQ=="},
        {"AB", "QUI="},
        {"ABC", "QUJD"},
        {std::string("\xFF\xFF\xFF", 3), "////"},
        {std::string("\x00\x00\x00", 3), "AAAA"},
        {std::string("\xFB\xEF", 2), "++8="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeAll(c.bytes), c.encoded);
}

TEST(Base64Length, CountsEveryStartedGroup)
{
    EXPECT_EQ(Base64Length(0), 0u);
    EXPECT_EQ(Base64Length(1), 4u);
    EXPECT_EQ(Base64Length(3), 4u);
    EXPECT_EQ(Base64Length(4), 8u);
    EXPECT_EQ(Base64Length(56), 76u);
    EXPECT_EQ(Base64Length(3073), 4100u);
}
