#include "monitor/core/part_plan.h"
#include <gtest/gtest.h>

#include <algorithm>

TEST(SizeQuestion, OneMebibyteIsSentWithoutQuestionAndOneByteMoreIsAsked)
{
    EXPECT_EQ(ChooseSizeQuestion(1048576, 1, 0), SizeQuestion::None);
    EXPECT_EQ(ChooseSizeQuestion(1048577, 1, 0), SizeQuestion::WholeJob);
}

TEST(SizeQuestion, SplitJobsBelowTwoMebibytesAreNotAsked)
{
    EXPECT_EQ(ChooseSizeQuestion(1572864, 1, 1), SizeQuestion::None);
    EXPECT_EQ(ChooseSizeQuestion(2097151, 1, 1), SizeQuestion::None);
    EXPECT_EQ(ChooseSizeQuestion(2097152, 1, 1), SizeQuestion::SplitJob);
}

TEST(SizeQuestion, CheckMailSwitchOffNeverAsks)
{
    EXPECT_EQ(ChooseSizeQuestion(50ull << 20, 0, 0), SizeQuestion::None);
    EXPECT_EQ(ChooseSizeQuestion(50ull << 20, 2, 1), SizeQuestion::None);
}

TEST(PartPlan, ExactMultipleGivesWholeParts)
{
    EXPECT_EQ(PartCountFor(2097152, 1024), 2u);
    EXPECT_EQ(PartBytes(2097152, 1024, 1), 1048576u);
    EXPECT_EQ(PartBytes(2097152, 1024, 2), 1048576u);
}

TEST(PartPlan, RemainderMakesALastShortPart)
{
    EXPECT_EQ(PartCountFor(2097153, 1024), 3u);
    EXPECT_EQ(PartBytes(2097153, 1024, 3), 1u);
    EXPECT_EQ(PartBytes(2097153, 1024, 4), 0u);
}

TEST(PartPlan, EmptyJobHasNoParts)
{
    EXPECT_EQ(PartCountFor(0, 1024), 0u);
    EXPECT_EQ(PartBytes(0, 1024, 1), 0u);
}

TEST(PartPlan, APartLimitOutsideSixteenTo16384IsReadAsTheDefault)
{
    const struct {
        uint32_t limitKb;
        uint64_t chunk;
    } cases[] = {{16, 16384},         {16384, 16777216},   {0, 1048576},         {15, 1048576},
                 {16385, 1048576},    {0x400001, 1048576}, {0xFFFFFFFF, 1048576}};
    for (const auto& c : cases) {
        EXPECT_EQ(PartChunkBytes(c.limitKb), c.chunk) << c.limitKb;
        EXPECT_EQ(PartBytes(20000, c.limitKb, 1), std::min<uint64_t>(20000, c.chunk)) << c.limitKb;
    }
    EXPECT_EQ(PartCountFor(1572864, 0), 2u);
}

TEST(PartPlan, SizesBeyondFourGibibytesAreNotTruncated)
{
    const uint64_t size = (uint64_t{4} << 30) + 5; // 4 GiB and 5 bytes
    EXPECT_EQ(PartCountFor(size, 16384), 257u);
    EXPECT_EQ(PartBytes(size, 16384, 257), 5u);
    EXPECT_EQ(PartBytes(size, 16384, 1), 16777216u);
}

TEST(PartPlan, LargestPartLimitMakesSixteenMebibyteParts)
{
    EXPECT_EQ(PartChunkBytes(16384), 16777216u);
    EXPECT_EQ(PartChunkBytes(2048), 2097152u);
}
