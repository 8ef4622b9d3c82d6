#include "monitor/core/spool_name.h"
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {
constexpr SpoolTime kTick{2005, 5, 30, 7, 5, 9, 45};

// A spool directory whose files are only names, and a clock that moves when told to.
struct FakeSpool {
    std::set<std::wstring> files;
    SpoolTime time = kTick;
    int clockStepMs = 0; // how far the clock moves at every reading

    // A new file's path, or "" when every attempt failed.
    std::wstring Create(const wchar_t* extension)
    {
        wchar_t path[261];
        const bool created = CreateSpoolNamedFile(
            path, 261, L"C:\\spool", extension,
            [this] {
                const SpoolTime now = time;
                time.millisecond = static_cast<uint16_t>(time.millisecond + clockStepMs);
                return now;
            },
            [this](const wchar_t* name) { return files.insert(name).second; });
        return created ? path : L"";
    }
};

TEST(SpoolName, IsTheLocalTimeWithoutLeadingZerosThenTheExtension)
{
    wchar_t path[261];
    ASSERT_TRUE(FormatSpoolPath(path, 261, L"C:\\spool", kTick, L"prn", 0));
    EXPECT_STREQ(L"C:\\spool\\200553075945.prn", path);
}

TEST(SpoolName, JobsStartedInOneClockTickGetNamesOfTheirOwn)
{
    FakeSpool spool; // the clock never moves
    std::vector<std::wstring> created;
    for (int job = 0; job < 3; ++job)
        created.push_back(spool.Create(L"prn"));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\spool\\200553075945.prn", L"C:\\spool\\200553075945-1.prn",
                                         L"C:\\spool\\200553075945-2.prn"}),
              created);
    EXPECT_EQ(L"C:\\spool\\200553075945.tmp", spool.Create(L"tmp")) << "another extension does not clash";
}

TEST(SpoolName, AClockThatMovesKeepsThePlainForm)
{
    FakeSpool spool;
    spool.clockStepMs = 1;
    spool.files.insert(L"C:\\spool\\200553075945.prn"); // taken by another job
    EXPECT_EQ(L"C:\\spool\\200553075946.prn", spool.Create(L"prn"));
}

TEST(SpoolName, OnlyTheMonitorsOwnFileNamesAreRecognised)
{
    const struct {
        const wchar_t* name;
        bool ours;
    } cases[] = {
        {L"200553075945.prn", true},      {L"20055307594.PRN", true},        {L"200553075945-7.tmp", true},
        {L"200553075945-12.prn.m", true}, {L"2005530759450.TMP.M", true},    {L"PreDef.ADR", false},
        {L"notes.prn", false},            {L"200553075945.prnx", false},     {L"200553075945.m", false},
        {L"123456789.prn", false},        {L"200553075945-123.tmp", false},  {L"~200553075945.tmp", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ours, IsMonitorJobFileName(c.name)) << std::string(c.name, c.name + wcslen(c.name));
}
} // namespace
