// Jobs printed through the installed monitor as the spooler prints them, with the stand-in's job
// table telling what the monitor asked of the spooler. The port has no destination, so a job that
// goes as far as the mail reaches nobody.
#include <windows.h>

#include "monitor/core/resource_ids.h"
#include "printhost/loaded_monitor.h"
#include "printhost/print_job.h"
#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/monitor_job_fixture.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

RegKeySpec QuietPort(const wchar_t* name)
{
    return {name, {StringValue(L"ServAddr", L"", false), DwordValue(L"ShowSw", 0), DwordValue(L"CheckMailSw", 0),
                   DwordValue(L"PartSw", 0)}};
}

std::vector<BYTE> JobBytes(size_t size)
{
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

// Hands out the bytes in the sizes asked for.
PrintRequest RequestFor(const std::vector<BYTE>& bytes, size_t* offset)
{
    PrintRequest request;
    request.port = L"NMX1";
    request.document = L"Report.txt";
    request.bufferSize = 1000;
    request.read = [&bytes, offset](BYTE* buffer, DWORD capacity) -> long {
        const size_t count = std::min<size_t>(capacity, bytes.size() - *offset);
        std::copy(bytes.begin() + *offset, bytes.begin() + *offset + count, buffer);
        *offset += count;
        return static_cast<long>(count);
    };
    return request;
}

ULONGLONG FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class PrintJobTest : public MonitorJobFixture {
protected:
    PrintJobTest() : MonitorJobFixture({QuietPort(L"NMX1")}) {}
};

TEST_F(PrintJobTest, EveryByteReachesTheSpoolFileAndTheJobIsReportedDone)
{
    const std::vector<BYTE> bytes = JobBytes(4500);
    size_t offset = 0;
    PrintRequest request = RequestFor(bytes, &offset);
    std::vector<ULONGLONG> spoolSizes;
    request.progress = [&spoolSizes](ULONGLONG) {
        const std::vector<std::wstring> files = SpoolFiles(L"*.prn");
        spoolSizes.push_back(files.size() == 1 ? FileSize(SpoolDirectory() + L"\\" + files[0]) : 0);
    };
    const PrintOutcome outcome = PrintJob(*monitor_.Functions(), request);

    EXPECT_EQ(L"", outcome.failedStep) << outcome.error;
    EXPECT_EQ(bytes.size(), outcome.written);
    EXPECT_EQ((std::vector<ULONGLONG>{1000, 2000, 3000, 4000, 4500}), spoolSizes);
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(outcome.jobId));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_PRINTED), StatusOf(outcome.jobId));
}

TEST_F(PrintJobTest, AJobDeletedWhileItIsSpooledIsStillReportedDone)
{
    const std::vector<BYTE> bytes = JobBytes(3000);
    size_t offset = 0;
    PrintRequest request = RequestFor(bytes, &offset);
    request.started = [](DWORD jobId) { spooler::SetJobStatusBits(jobId, JOB_STATUS_DELETING); };
    const PrintOutcome outcome = PrintJob(*monitor_.Functions(), request);

    EXPECT_EQ(L"", outcome.failedStep) << outcome.error;
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(outcome.jobId));
}

TEST_F(PrintJobTest, AJobWhoseStatusCannotBeReadTellsTheUser)
{
    boxes_.Expect(InstalledResourceString(IDS_MESSAGE_CAPTION), InstalledResourceString(IDS_NO_JOB_INFO));
    spooler::InjectGetJobFailure(ERROR_ACCESS_DENIED);
    const std::vector<BYTE> bytes = JobBytes(10);
    size_t offset = 0;
    const PrintOutcome outcome = PrintJob(*monitor_.Functions(), RequestFor(bytes, &offset));

    EXPECT_EQ(L"", outcome.failedStep) << outcome.error;
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(outcome.jobId));
    ASSERT_EQ(1u, boxes_.Seen().size());
}

TEST_F(PrintJobTest, APrinterThatCannotBeOpenedFailsStartDocPort)
{
    spooler::InjectOpenPrinterFailure(ERROR_ACCESS_DENIED);
    const std::vector<BYTE> bytes = JobBytes(10);
    size_t offset = 0;
    const PrintOutcome outcome = PrintJob(*monitor_.Functions(), RequestFor(bytes, &offset));

    EXPECT_EQ(L"StartDocPort", outcome.failedStep);
    EXPECT_EQ(0u, outcome.written);
    EXPECT_TRUE(spooler::JobCommands(outcome.jobId).empty());
}

TEST_F(PrintJobTest, AnUnknownPortFailsOpenPort)
{
    const std::vector<BYTE> bytes = JobBytes(10);
    size_t offset = 0;
    PrintRequest request = RequestFor(bytes, &offset);
    request.port = L"NMX9";
    EXPECT_EQ(L"OpenPort", PrintJob(*monitor_.Functions(), request).failedStep);
}

// The port entry points called one by one, as a spooler may call them out of the usual order.
class PortCallTest : public PrintJobTest {
protected:
    void SetUp() override
    {
        PrintJobTest::SetUp();
        wchar_t name[] = L"NMX1";
        ASSERT_TRUE(monitor_.Functions()->OpenPort(name, &port_));
    }
    void TearDown() override
    {
        EXPECT_TRUE(monitor_.Functions()->ClosePort(port_));
        PrintJobTest::TearDown();
    }

    BOOL StartDoc(DWORD jobId)
    {
        wchar_t document[] = L"Report.txt";
        DOC_INFO_1W docInfo = {document, nullptr, nullptr};
        return monitor_.Functions()->StartDocPort(port_, printer_, jobId, 1, reinterpret_cast<LPBYTE>(&docInfo));
    }

    wchar_t printer_[32] = L"Velloprint Test Printer";
    HANDLE port_ = nullptr;
};

TEST_F(PortCallTest, ASecondStartDocPortChangesNothing)
{
    const DWORD first = spooler::CreateJob(printer_, L"Report.txt");
    const DWORD second = spooler::CreateJob(printer_, L"Other.txt");
    ASSERT_TRUE(StartDoc(first));
    const std::vector<std::wstring> spoolFiles = SpoolFiles(L"*.prn");
    ASSERT_EQ(1u, spoolFiles.size());

    EXPECT_TRUE(StartDoc(second));
    EXPECT_EQ(spoolFiles, SpoolFiles(L"*.prn")) << "the first job's spool file stays in use";
    BYTE bytes[10] = {1, 2, 3};
    DWORD written = 0;
    EXPECT_TRUE(monitor_.Functions()->WritePort(port_, bytes, sizeof(bytes), &written));
    EXPECT_EQ(sizeof(bytes), written);
    EXPECT_EQ(sizeof(bytes), FileSize(SpoolDirectory() + L"\\" + spoolFiles.front()));

    EXPECT_TRUE(monitor_.Functions()->EndDocPort(port_));
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(first));
    EXPECT_TRUE(spooler::JobCommands(second).empty());
}

TEST_F(PortCallTest, WritingOrReadingWithoutAJobFailsWithInvalidHandle)
{
    BYTE buffer[4] = {};
    DWORD count = 99;
    SetLastError(0);
    EXPECT_FALSE(monitor_.Functions()->WritePort(port_, buffer, sizeof(buffer), &count));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(0);
    EXPECT_FALSE(monitor_.Functions()->ReadPort(port_, buffer, sizeof(buffer), &count));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(PortCallTest, DeviceCallsWithoutADeviceLinkFailWithInvalidParameter)
{
    const DWORD job = spooler::CreateJob(printer_, L"Report.txt");
    ASSERT_TRUE(StartDoc(job)); // a job is open: only the missing link refuses the calls
    wchar_t in[8] = {};
    wchar_t out[8] = {};
    DWORD returned = 0;
    SetLastError(0);
    EXPECT_FALSE(monitor_.Functions()->GetPrinterDataFromPort(port_, 1, nullptr, in, sizeof(in), out, sizeof(out),
                                                              &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    COMMTIMEOUTS timeouts = {};
    SetLastError(0);
    EXPECT_FALSE(monitor_.Functions()->SetPortTimeOuts(port_, &timeouts, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    SetLastError(0);
    EXPECT_FALSE(monitor_.Functions()->SetPortTimeOuts(port_, &timeouts, 1));
    EXPECT_EQ(0u, GetLastError()) << "a reserved value other than 0 is refused without an error code";

    EXPECT_TRUE(monitor_.Functions()->EndDocPort(port_));
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(job))
        << "the refused calls did not stop the job from being mailed and reported done";
}

TEST_F(PortCallTest, AHandleToADeletedPortIsRefusedWhileANewPortTakesOtherMemory)
{
    wchar_t deleted[] = L"NMX1";
    ASSERT_TRUE(monitor_.Functions()->DeletePort(nullptr, nullptr, deleted));
    // A port added now gets memory of its own: the deleted port's entry lives while the handle does.
    wchar_t added[] = L"NMX2";
    PORT_INFO_1W info = {added};
    std::wstring monitorName = InstalledResourceString(IDS_MONITOR_NAME);
    ASSERT_TRUE(monitor_.Functions()->AddPortEx(nullptr, 1, reinterpret_cast<LPBYTE>(&info), monitorName.data()));
    WriteRegValue(added, DwordValue(L"ShowSw", 0));

    const DWORD job = spooler::CreateJob(printer_, L"Report.txt");
    BYTE bytes[4] = {};
    wchar_t in[8] = {};
    wchar_t out[8] = {};
    DWORD count = 0;
    COMMTIMEOUTS timeouts = {};
    const MonitorFunctions& f = *monitor_.Functions();
    const std::pair<const char*, std::function<BOOL()>> calls[] = {
        {"StartDocPort", [&] { return StartDoc(job); }},
        {"WritePort", [&] { return f.WritePort(port_, bytes, sizeof(bytes), &count); }},
        {"EndDocPort", [&] { return f.EndDocPort(port_); }},
        {"GetPrinterDataFromPort",
         [&] { return f.GetPrinterDataFromPort(port_, 1, nullptr, in, sizeof(in), out, sizeof(out), &count); }},
        {"SetPortTimeOuts", [&] { return f.SetPortTimeOuts(port_, &timeouts, 0); }},
    };
    for (const auto& [name, call] : calls) {
        SetLastError(0);
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError()) << name;
    }
    EXPECT_TRUE(spooler::JobCommands(job).empty()) << "no job went through the deleted port";
    HANDLE again = nullptr;
    EXPECT_FALSE(f.OpenPort(deleted, &again)) << "the deleted port is gone";
    // TearDown closes the handle, the last one: that frees the entry.
}

class MissingSpoolDirectoryTest : public PortCallTest {
protected:
    MissingSpoolDirectoryTest()
    {
        WriteRegValue(L"1.64", StringValue(L"TempDir", L"C:\\no\\such\\spool", false));
    }
};

TEST_F(MissingSpoolDirectoryTest, StartDocPortFailsAndLeavesThePortIdle)
{
    const DWORD job = spooler::CreateJob(printer_, L"Report.txt");
    EXPECT_FALSE(StartDoc(job));
    EXPECT_FALSE(StartDoc(job)) << "the failed start cleared the job-in-progress flag";
    BYTE buffer[4] = {};
    DWORD written = 0;
    EXPECT_FALSE(monitor_.Functions()->WritePort(port_, buffer, sizeof(buffer), &written));
    EXPECT_TRUE(spooler::JobCommands(job).empty());
}

// The host program itself, run as a person runs it.
class HostCommandTest : public ::testing::Test {
protected:
    // The host's exit code; its output with the console's CR LF line ends made plain LF.
    int Host(const std::wstring& arguments, std::string* output)
    {
        const int exitCode = RunProgram(L"\"" + BinDirectory() + L"\\printhost.exe\" " + arguments, output);
        output->erase(std::remove(output->begin(), output->end(), '\r'), output->end());
        return exitCode;
    }

    RegistryScope registry_{{QuietPort(L"NMX1"), QuietPort(L"nmx2"), {L"Other", {}}}};
};

TEST_F(HostCommandTest, EnumPortsListsTheMonitorsPortsOnly)
{
    std::string output;
    ASSERT_EQ(0, Host(L"enumports", &output)) << output;
    EXPECT_EQ("NMX1\nnmx2\n2 port(s)\n", output);

    output.clear();
    ASSERT_EQ(0, Host(L"enumports 2", &output)) << output;
    const std::string monitor = Utf8(InstalledResourceString(IDS_MONITOR_NAME));
    EXPECT_NE(std::string::npos, output.find("NMX1  monitor \"" + monitor + "\"  description \"" + monitor + "\"  type 1"))
        << output;
}

TEST_F(HostCommandTest, PrintWritesAFileToAPort)
{
    ClearSpoolDirectory();
    const std::wstring path = SpoolDirectory() + L"\\job.bin";
    const std::vector<BYTE> bytes = JobBytes(2 * 1024 * 1024 + 5);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);

    std::string output;
    const int exitCode = Host(L"print NMX1 \"" + path + L"\" --doc Report --buffer 65536", &output);
    DeleteFileW(path.c_str());
    ASSERT_EQ(0, exitCode) << output;
    EXPECT_EQ(0u, output.find("job ")) << output; // the id comes first
    EXPECT_NE(std::string::npos, output.find("written 2097157 of 2097157 bytes (100%)")) << output;
    EXPECT_NE(std::string::npos, output.find(": 2097157 bytes written; SetJobW commands: 7")) << output;
    EXPECT_TRUE(NoJobFilesLeft());
}

TEST_F(HostCommandTest, BadCommandsGetTheUsage)
{
    const wchar_t* cases[] = {L"", L"enumports 3", L"enumports x", L"print NMX1", L"print NMX1 f --buffer 0",
                              L"print NMX1 f --doc", L"print NMX1 f --size 3", L"jobs"};
    for (const wchar_t* arguments : cases) {
        SCOPED_TRACE(Utf8(arguments));
        std::string output;
        EXPECT_EQ(2, Host(arguments, &output)) << output;
        EXPECT_NE(std::string::npos, output.find("usage:")) << output;
    }
}

TEST_F(HostCommandTest, PrintingAMissingFileFails)
{
    std::string output;
    EXPECT_EQ(1, Host(L"print NMX1 C:\\no\\such\\file.prn", &output)) << output;
    EXPECT_NE(std::string::npos, output.find("cannot open")) << output;
}

} // namespace
