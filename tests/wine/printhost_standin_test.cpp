// The spooler stand-in as the monitor meets it: the test program sits in bin/ beside
// winspool.drv and spoolss.dll, so these calls reach the stand-in exactly as the monitor's do.
#include <windows.h>
#include <winspool.h>

#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kPrinter[] = L"Stand-in Printer";
constexpr DWORD kSentinel = 0xdeadbeef;

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { spooler::ResetSpooler(); }
    void TearDown() override
    {
        if (printer_ != nullptr)
            ClosePrinter(printer_);
        spooler::ResetSpooler();
    }

    HANDLE OpenTestPrinter()
    {
        wchar_t name[] = L"Stand-in Printer";
        EXPECT_TRUE(OpenPrinterW(name, &printer_, nullptr)) << GetLastError();
        return printer_;
    }

    // The bytes GetJobW needs for the job, asked with no buffer at all.
    DWORD NeededFor(DWORD jobId)
    {
        DWORD needed = kSentinel;
        EXPECT_FALSE(GetJobW(printer_, jobId, 2, nullptr, 0, &needed));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
        return needed;
    }

    HANDLE printer_ = nullptr;
};

// 0xdeadbeef repeated over the bytes, so that any byte written shows.
std::vector<BYTE> SentinelFilled(size_t size)
{
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(kSentinel >> (8 * (i % 4)));
    return bytes;
}

DWORD TextBytes(const wchar_t* text)
{
    return static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
}

// Every string of the structure lies inside the buffer, after the structure.
void ExpectPackedInside(const JOB_INFO_2W* info, const std::vector<BYTE>& buffer)
{
    const BYTE* first = buffer.data() + sizeof(JOB_INFO_2W);
    const BYTE* end = buffer.data() + buffer.size();
    for (const wchar_t* text : {info->pPrinterName, info->pMachineName, info->pUserName, info->pDocument,
                                info->pNotifyName, info->pDatatype, info->pPrintProcessor}) {
        if (text == nullptr)
            continue;
        const auto* at = reinterpret_cast<const BYTE*>(text);
        EXPECT_GE(at, first);
        EXPECT_LE(at + TextBytes(text), end);
    }
}

TEST_F(StandinTest, JobInfo2IsThePlatformStructureOf104BytesOr160On64Bit)
{
    EXPECT_EQ(sizeof(void*) == 4 ? 104u : 160u, sizeof(JOB_INFO_2W));
}

TEST_F(StandinTest, GetJobReportsTheBytesNeededAtEveryBufferSize)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"Quarterly report.doc");
    OpenTestPrinter();
    const DWORD needed = NeededFor(job);
    ASSERT_GT(needed, sizeof(JOB_INFO_2W)); // the strings come after the structure

    const struct {
        DWORD size;
        bool fits;
    } cases[] = {{needed - 1, false}, {needed, true}, {needed + 1, true}, {sizeof(JOB_INFO_2W), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<BYTE> buffer = SentinelFilled(c.size + 8);
        DWORD reported = kSentinel;
        SetLastError(kSentinel);
        const BOOL ok = GetJobW(printer_, job, 2, buffer.data(), c.size, &reported);
        EXPECT_EQ(c.fits, ok != FALSE);
        EXPECT_EQ(needed, reported);
        if (!c.fits) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
            EXPECT_EQ(SentinelFilled(buffer.size()), buffer); // nothing written
            continue;
        }
        const auto* info = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
        EXPECT_EQ(job, info->JobId);
        EXPECT_STREQ(L"Quarterly report.doc", info->pDocument);
        EXPECT_STREQ(kPrinter, info->pPrinterName);
        EXPECT_STREQ(L"RAW", info->pDatatype);
        EXPECT_EQ(0u, info->Status);
        // Nothing is written past the bytes needed.
        const std::vector<BYTE> pattern = SentinelFilled(buffer.size());
        EXPECT_TRUE(std::equal(buffer.begin() + needed, buffer.end(), pattern.begin() + needed));
        buffer.resize(needed);
        ExpectPackedInside(info, buffer);
    }
}

TEST_F(StandinTest, AJobWithoutDocumentNameReportsNoDocument)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"");
    OpenTestPrinter();
    std::vector<BYTE> buffer(NeededFor(job));
    DWORD needed = 0;
    ASSERT_TRUE(GetJobW(printer_, job, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(nullptr, reinterpret_cast<const JOB_INFO_2W*>(buffer.data())->pDocument);
}

TEST_F(StandinTest, StatusBitsSetFromTheControlShowInGetJob)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    OpenTestPrinter();
    std::vector<BYTE> buffer(NeededFor(job));
    DWORD needed = 0;
    const auto* info = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());

    ASSERT_TRUE(spooler::SetJobStatusBits(job, JOB_STATUS_DELETING | JOB_STATUS_ERROR));
    ASSERT_TRUE(GetJobW(printer_, job, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_DELETING | JOB_STATUS_ERROR), info->Status);

    ASSERT_TRUE(spooler::ClearJobStatusBits(job, JOB_STATUS_ERROR));
    ASSERT_TRUE(GetJobW(printer_, job, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_DELETING), info->Status);
}

TEST_F(StandinTest, GetJobRefusals)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    const DWORD otherPrintersJob = spooler::CreateJob(L"Other Printer", L"doc");
    OpenTestPrinter();
    BYTE buffer[1024];
    DWORD needed = 0;
    const struct {
        const char* name;
        HANDLE printer;
        DWORD jobId;
        DWORD level;
        LPDWORD needed;
        DWORD error;
    } cases[] = {
        {"unknown job", printer_, job + 100, 2, &needed, ERROR_INVALID_PARAMETER},
        {"job of another printer", printer_, otherPrintersJob, 2, &needed, ERROR_INVALID_PARAMETER},
        {"level 1", printer_, job, 1, &needed, ERROR_INVALID_LEVEL},
        {"no bytes-needed output", printer_, job, 2, nullptr, ERROR_INVALID_PARAMETER},
        {"made-up handle", reinterpret_cast<HANDLE>(0x1234), job, 2, &needed, ERROR_INVALID_HANDLE},
        {"null handle", nullptr, job, 2, &needed, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_FALSE(GetJobW(c.printer, c.jobId, c.level, buffer, sizeof(buffer), c.needed));
        EXPECT_EQ(c.error, GetLastError());
    }
}

TEST_F(StandinTest, AnInjectedGetJobFailureHoldsUntilCleared)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    OpenTestPrinter();
    BYTE buffer[1024];
    DWORD needed = 0;
    spooler::InjectGetJobFailure(ERROR_ACCESS_DENIED);
    for (int call = 0; call < 2; ++call) {
        EXPECT_FALSE(GetJobW(printer_, job, 2, buffer, sizeof(buffer), &needed));
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    }
    spooler::InjectGetJobFailure(0);
    EXPECT_TRUE(GetJobW(printer_, job, 2, buffer, sizeof(buffer), &needed));
}

TEST_F(StandinTest, OpenPrinterKnowsOnlyPrintersOfJobs)
{
    spooler::CreateJob(kPrinter, L"doc");
    wchar_t known[] = L"stand-in printer"; // printer names compare case-insensitively
    wchar_t unknown[] = L"No Such Printer";
    HANDLE printer = reinterpret_cast<HANDLE>(kSentinel);

    EXPECT_FALSE(OpenPrinterW(unknown, &printer, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_EQ(nullptr, printer);
    EXPECT_FALSE(OpenPrinterW(nullptr, &printer, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());

    ASSERT_TRUE(OpenPrinterW(known, &printer_, nullptr));
    EXPECT_NE(nullptr, printer_);
    EXPECT_EQ(1, spooler::OpenPrinterHandles());
}

TEST_F(StandinTest, AnInjectedOpenPrinterFailureHoldsUntilCleared)
{
    spooler::CreateJob(kPrinter, L"doc");
    wchar_t name[] = L"Stand-in Printer";
    spooler::InjectOpenPrinterFailure(ERROR_ACCESS_DENIED);
    HANDLE printer = nullptr;
    EXPECT_FALSE(OpenPrinterW(name, &printer, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0, spooler::OpenPrinterHandles());
    spooler::InjectOpenPrinterFailure(0);
    EXPECT_TRUE(OpenPrinterW(name, &printer_, nullptr));
}

TEST_F(StandinTest, ClosePrinterCountsHandlesAndRefusesStaleOnes)
{
    spooler::CreateJob(kPrinter, L"doc");
    HANDLE printer = OpenTestPrinter();
    ASSERT_EQ(1, spooler::OpenPrinterHandles());
    EXPECT_TRUE(ClosePrinter(printer));
    printer_ = nullptr;
    EXPECT_EQ(0, spooler::OpenPrinterHandles());

    EXPECT_FALSE(ClosePrinter(printer)); // already closed
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, spooler::OpenPrinterHandles());
}

TEST_F(StandinTest, SetJobRecordsEveryCommandInOrder)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    OpenTestPrinter();
    const struct {
        DWORD command;
        bool accepted;
        DWORD statusAfter;
    } steps[] = {
        {JOB_CONTROL_PAUSE, true, JOB_STATUS_PAUSED},
        {JOB_CONTROL_RESUME, true, 0},
        {JOB_CONTROL_LAST_PAGE_EJECTED, true, JOB_STATUS_PRINTED},
        {99, false, JOB_STATUS_PRINTED},
        {JOB_CONTROL_CANCEL, true, JOB_STATUS_PRINTED | JOB_STATUS_DELETING},
    };
    std::vector<DWORD> sent;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        SetLastError(0);
        EXPECT_EQ(step.accepted, SetJobW(printer_, job, 0, nullptr, step.command) != FALSE);
        if (!step.accepted) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
        }
        sent.push_back(step.command);
        DWORD status = kSentinel;
        ASSERT_TRUE(spooler::ReadJobStatus(job, &status));
        EXPECT_EQ(step.statusAfter, status);
    }
    EXPECT_EQ(sent, spooler::JobCommands(job));
}

TEST_F(StandinTest, SetJobKeepsTheFirstCommandsAndCountsAll)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    OpenTestPrinter();
    for (DWORD i = 0; i < spooler::kMaxCommands + 3; ++i)
        SetJobW(printer_, job, 0, nullptr, JOB_CONTROL_SENT_TO_PRINTER);
    EXPECT_EQ(spooler::kMaxCommands, spooler::JobCommands(job).size());
    EXPECT_EQ(spooler::kMaxCommands + 3, spooler::JobCommandCount(job));
}

TEST_F(StandinTest, SetJobRefusals)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    OpenTestPrinter();
    JOB_INFO_1W info = {};
    EXPECT_FALSE(SetJobW(printer_, job, 1, reinterpret_cast<LPBYTE>(&info), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_LEVEL), GetLastError());
    EXPECT_FALSE(SetJobW(printer_, job + 100, 0, nullptr, JOB_CONTROL_CANCEL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(SetJobW(nullptr, job, 0, nullptr, JOB_CONTROL_CANCEL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(spooler::JobCommands(job).empty()); // refused calls are no commands of the job
}

TEST_F(StandinTest, CreateJobRefusesWhatTheTableCannotHold)
{
    EXPECT_EQ(0u, spooler::CreateJob(L"", L"doc"));
    EXPECT_EQ(0u, spooler::CreateJob(std::wstring(spooler::kPrinterNameChars, L'p'), L"doc"));
    EXPECT_EQ(0u, spooler::CreateJob(kPrinter, std::wstring(spooler::kDocumentNameChars, L'd')));
    EXPECT_NE(0u, spooler::CreateJob(kPrinter, std::wstring(spooler::kDocumentNameChars - 1, L'd')));

    for (DWORD i = 1; i < spooler::kMaxJobs; ++i)
        ASSERT_NE(0u, spooler::CreateJob(kPrinter, L"doc"));
    EXPECT_EQ(0u, spooler::CreateJob(kPrinter, L"one too many"));
}

TEST_F(StandinTest, JobIdsAreNotReusedAfterAReset)
{
    const DWORD first = spooler::CreateJob(kPrinter, L"doc");
    spooler::ResetSpooler();
    DWORD status = 0;
    EXPECT_FALSE(spooler::ReadJobStatus(first, &status));
    EXPECT_GT(spooler::CreateJob(kPrinter, L"doc"), first);
}

TEST_F(StandinTest, ASecondProcessSetsTheDeletingBit)
{
    const DWORD job = spooler::CreateJob(kPrinter, L"doc");
    std::string output;
    EXPECT_EQ(0, RunProgram(L"\"" + BinDirectory() + L"\\printhost.exe\" deletejob " + std::to_wstring(job), &output))
        << output;
    DWORD status = 0;
    ASSERT_TRUE(spooler::ReadJobStatus(job, &status));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_DELETING), status);
}

TEST_F(StandinTest, DeleteJobOfAnUnknownJobFails)
{
    const struct {
        const wchar_t* arguments;
        int exitCode;
    } cases[] = {{L"deletejob 4000000", 1}, {L"deletejob", 2}, {L"deletejob 12x", 2}, {L"deletejob 0", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.arguments));
        std::string output;
        EXPECT_EQ(c.exitCode, RunProgram(L"\"" + BinDirectory() + L"\\printhost.exe\" " + c.arguments, &output))
            << output;
    }
}

TEST(SpoolssStandin, EnumPortsReportsNoPortsAtLevels1And2)
{
    HMODULE spoolss = LoadLibraryW(L"SPOOLSS.DLL");
    ASSERT_NE(nullptr, spoolss);
    using EnumPortsFn = BOOL(WINAPI*)(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
    auto enumPorts = reinterpret_cast<EnumPortsFn>(reinterpret_cast<void*>(GetProcAddress(spoolss, "EnumPortsW")));
    ASSERT_NE(nullptr, enumPorts);
    for (DWORD level : {1u, 2u}) {
        DWORD needed = kSentinel;
        DWORD count = kSentinel;
        EXPECT_TRUE(enumPorts(nullptr, level, nullptr, 0, &needed, &count));
        EXPECT_EQ(0u, needed);
        EXPECT_EQ(0u, count);
    }
    DWORD needed = 0;
    DWORD count = 0;
    EXPECT_FALSE(enumPorts(nullptr, 3, nullptr, 0, &needed, &count));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_LEVEL), GetLastError());
    FreeLibrary(spoolss);
}

} // namespace
