#include "monitor/ui/address_list.h"
#include "monitor/ui/part_limit_rule.h"
#include <gtest/gtest.h>

#include <string>

namespace {
std::string Separated(std::string text)
{
    ReplaceAddressSeparators(text.data());
    return text;
}

TEST(AddressSeparators, CommasAndSpacesBecomeSemicolons)
{
    EXPECT_EQ(Separated("a@x.jp,b@y.jp"), "a@x.jp;b@y.jp");
    EXPECT_EQ(Separated("a@x.jp b@y.jp"), "a@x.jp;b@y.jp");
    EXPECT_EQ(Separated("a@x.jp, b@y.jp"), "a@x.jp;;b@y.jp");
    EXPECT_EQ(Separated(" a@x.jp,"), ";a@x.jp;");
}

TEST(AddressSeparators, OtherTextIsKept)
{
    EXPECT_EQ(Separated("a@x.jp;b@y.jp"), "a@x.jp;b@y.jp");
    EXPECT_EQ(Separated(""), "");
    // A Shift-JIS double-byte character holds neither a comma nor a space byte.
    EXPECT_EQ(Separated("\x83\x65\x83\x58@x.jp"), "\x83\x65\x83\x58@x.jp");
}

struct PartLimitCase {
    bool partSwitchOn;
    bool numberRead;
    unsigned kb;
    bool accepted;
};

TEST(PartLimitRule, RangeIsCheckedOnlyWhileJobsAreSentInParts)
{
    const PartLimitCase cases[] = {
        {true, true, 15, false},    {true, true, 16, true},     {true, true, 1024, true},
        {true, true, 16384, true},  {true, true, 16385, false}, {true, true, 0, false},
        {true, true, 99999, false}, {true, false, 0, false},    {false, true, 15, true},
        {false, true, 99999, true}, {false, false, 0, true},
    };
    for (const PartLimitCase& c : cases)
        EXPECT_EQ(IsAcceptedPartLimit(c.partSwitchOn, c.numberRead, c.kb), c.accepted)
            << "parts " << c.partSwitchOn << ", read " << c.numberRead << ", " << c.kb << " KB";
}
} // namespace
