#include "monitor/mail/mail_date.h"
#include <gtest/gtest.h>
#include <string>

namespace {

CivilTime Utc(int32_t y, int32_t mo, int32_t d, int32_t h, int32_t mi, int32_t s)
{
    return CivilTime{y, mo, d, h, mi, s, 0};
}

std::string Offset(int32_t bias)
{
    char out[6];
    FormatZoneOffset(bias, out);
    return out;
}

} // namespace

TEST(LocalFromUtc, ShiftsByTheBiasAndMovesTheDate)
{
    struct Case {
        const char* name;
        CivilTime utc;
        int32_t bias;
        CivilTime local;
    };
    const Case cases[] = {
        {"worked example", Utc(2026, 12, 7, 12, 15, 31), -60, {2026, 12, 7, 13, 15, 31, 1}},
        {"east of UTC into the next day", Utc(2026, 12, 7, 23, 30, 0), -540, {2026, 12, 8, 8, 30, 0, 2}},
        {"west of UTC into the previous day", Utc(2026, 12, 7, 2, 0, 0), 300, {2026, 12, 6, 21, 0, 0, 0}},
        {"new year", Utc(2026, 12, 31, 20, 0, 5), -330, {2027, 1, 1, 1, 30, 5, 5}},
        {"back over a leap day", Utc(2028, 3, 1, 1, 0, 0), 120, {2028, 2, 29, 23, 0, 0, 2}},
        {"no bias", Utc(2000, 2, 29, 0, 0, 0), 0, {2000, 2, 29, 0, 0, 0, 2}},
    };
    for (const Case& c : cases) {
        const CivilTime t = LocalFromUtc(c.utc, c.bias);
        EXPECT_EQ(t.year, c.local.year) << c.name;
        EXPECT_EQ(t.month, c.local.month) << c.name;
        EXPECT_EQ(t.day, c.local.day) << c.name;
        EXPECT_EQ(t.hour, c.local.hour) << c.name;
        EXPECT_EQ(t.minute, c.local.minute) << c.name;
        EXPECT_EQ(t.second, c.local.second) << c.name;
        EXPECT_EQ(t.dayOfWeek, c.local.dayOfWeek) << c.name;
    }
}

TEST(FormatZoneOffset, WorkedBiases)
{
    EXPECT_EQ(Offset(0), "+0000");
    EXPECT_EQ(Offset(-60), "+0100");
    EXPECT_EQ(Offset(-540), "+0900");
    EXPECT_EQ(Offset(300), "-0500");
    EXPECT_EQ(Offset(-330), "+0530");
    EXPECT_EQ(Offset(210), "-0330");
    EXPECT_EQ(Offset(-765), "+1245");
}

TEST(FormatZoneOffset, OffsetBelowOneHourKeepsItsSign)
{
    EXPECT_EQ(Offset(30), "-0030");
    EXPECT_EQ(Offset(-30), "+0030");
}
