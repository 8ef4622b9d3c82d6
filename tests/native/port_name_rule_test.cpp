#include "monitor/ui/port_name_rule.h"
#include <gtest/gtest.h>

#include <string>

namespace {
struct NameCase {
    const wchar_t* name;
    bool valid;
    const char* why;
};

const NameCase kNameCases[] = {
    {L"NMX", true, "the prefix alone"},
    {L"NMX1", true, "the proposed name"},
    {L"nmx7", true, "the prefix in lower case"},
    {L"nMx7", true, "the prefix in mixed case"},
    {L"NMX 2", true, "a space"},
    {L"NMX Office-2.1", true, "punctuation other than the forbidden characters"},
    {L"NMX_#@!", true, "more punctuation"},
    {L"", false, "empty"},
    {L"XNMX1", false, "the prefix not at the start"},
    {L"NM1", false, "an incomplete prefix"},
    {L"NM", false, "shorter than the prefix"},
    {L" NMX1", false, "a blank before the prefix"},
    {L"NMX(2", false, "an opening parenthesis"},
    {L"NMX(2)", false, "parentheses"},
    {L"NMX;2", false, "a semicolon"},
    {L"NMX'2", false, "an apostrophe"},
    {L"NMX\\2", false, "a backslash"},
    {L"NMX/2", false, "a slash"},
    {L"NMX*", false, "an asterisk"},
    {L"NMX?", false, "a question mark"},
    {L"NMX\"2\"", false, "double quotes"},
    {L"NMX<2", false, "less-than"},
    {L"NMX>2", false, "greater-than"},
    {L"NMX|2", false, "a vertical bar"},
    {L"NMX\n", false, "a line break"},
    {L"NMX\r\n2", false, "a carriage return and line break"},
    {L"NMX\t2", false, "a tab"},
    {L"NMX\x01", false, "a control character"},
    {L"NMX\x7f", false, "delete"},
    // By the Windows character classes, whatever the C library of the build says.
    {L"NMX\u00e9", true, "an accented letter"},
    {L"NMX\u00a0" L"2", true, "a no-break space, a blank"},
    {L"NMX\u6771\u4eac", true, "Japanese letters"},
    {L"NMX\uff11", true, "a full-width digit"},
    {L"NMX\u3000" L"2", true, "an ideographic space"},
    {L"nmx\u00a7", true, "a section sign, punctuation"},
    {L"\uff2e\uff2d\uff38", false, "a full-width prefix is not NMX"},
    {L"NMX\u0085", false, "a next-line control"},
    {L"NMX\u00ad", false, "a soft hyphen, a format control"},
    {L"NMX\u200b", false, "a zero-width space"},
    {L"NMX\u2028", false, "a line separator, a space but no blank"},
    {L"NMXe\u0301", false, "a combining accent"},
    {L"NMX\ue000", false, "a private-use character"},
    {L"NMX\uffff", false, "a non-character"},
    {L"NMX\U0001F600", false, "beyond the first plane: surrogates in UTF-16"},
};

TEST(PortNameRule, AcceptsAndRefusesNamesByTheRule)
{
    for (const NameCase& c : kNameCases)
        EXPECT_EQ(IsValidPortName(c.name), c.valid) << c.why;
}

TEST(PortNameRule, ThirtyOneCharactersAreAcceptedAndThirtyTwoRefused)
{
    const std::wstring longest = L"NMX" + std::wstring(kMaxPortNameChars - 3, L'a');
    ASSERT_EQ(longest.size(), 31u);
    EXPECT_TRUE(IsValidPortName(longest.c_str()));
    EXPECT_FALSE(IsValidPortName((longest + L"a").c_str()));
}

TEST(PortNameRule, NullNameIsRefused)
{
    EXPECT_FALSE(IsValidPortName(nullptr));
}

} // namespace
