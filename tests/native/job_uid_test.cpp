#include "monitor/core/job_uid.h"
#include <gtest/gtest.h>

#include <string>

namespace {
struct UidCase {
    const char* name;
    std::wstring sender;
    const wchar_t* date;
    UidTime utc;
    std::size_t capacity;
    std::wstring expected;
};

const std::wstring kSixtyOne = std::wstring(60, L'a') + L"b";

const UidCase kCases[] = {
    {"sender, date, time without leading zeros", L"me@example.com", L"20050601", {14, 3, 7, 250}, kJobUidChars,
     L"me@example.com200506011437250"},
    {"midnight gives single zeros", L"u", L"20261209", {0, 0, 0, 0}, kJobUidChars, L"u202612090000"},
    {"the sender is cut at 60 characters", kSixtyOne, L"20261209", {23, 59, 59, 999}, kJobUidChars,
     std::wstring(60, L'a') + L"20261209235959999"},
    {"an empty sender leaves date and time", L"", L"20261209", {1, 2, 3, 4}, kJobUidChars, L"202612091234"},
    {"a small buffer is cut, never overrun", L"me@x", L"20261209", {1, 2, 3, 4}, 7, L"me@x20"},
};
} // namespace

TEST(JobUid, TableOfIdentifiers)
{
    for (const UidCase& c : kCases) {
        wchar_t out[kJobUidChars + 8];
        FormatJobUid(c.sender.c_str(), c.date, c.utc, out, c.capacity);
        EXPECT_EQ(std::wstring(out), c.expected) << c.name;
    }
}

TEST(JobUid, TheLongestIdentifierFitsItsBuffer)
{
    wchar_t out[kJobUidChars];
    FormatJobUid(kSixtyOne.c_str(), L"99991231", {23, 59, 59, 999}, out, kJobUidChars);
    EXPECT_EQ(std::wstring(out).size(), 60u + 8 + 9);
}
