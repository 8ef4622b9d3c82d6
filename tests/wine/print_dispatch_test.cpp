// The end of a job printed through the installed monitor: the size questions, the job sent whole
// or in numbered parts to the scripted SMTP server, servers that fail it, and what is left
// afterwards (nothing).
#include <winsock2.h>
#include <windows.h>

#include "monitor/core/resource_ids.h"
#include "printhost/loaded_monitor.h"
#include "printhost/print_job.h"
#include "printhost/spooler_standin_control.h"
#include "tests/wine/mail_smtp_control.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/monitor_job_fixture.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

using namespace mailtest;

namespace {
constexpr wchar_t kPort[] = L"NMX3";
constexpr DWORD kMiB = 1048576;

BYTE PatternByte(ULONGLONG offset)
{
    return static_cast<BYTE>((offset * 131 + 7) & 0xFF);
}

std::string PatternBytes(ULONGLONG from, ULONGLONG count)
{
    std::string bytes(static_cast<size_t>(count), '\0');
    for (ULONGLONG i = 0; i < count; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>(PatternByte(from + i));
    return bytes;
}

struct Switches {
    DWORD checkMail = 1;
    DWORD partSw = 0;
    DWORD partLimit = 1024;
};

class PrintDispatch : public MonitorJobFixture {
protected:
    PrintDispatch() : MonitorJobFixture({{kPort, {DwordValue(L"ShowSw", 0)}}}) {}
    void TearDown() override
    {
        EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_LAST_PAGE_EJECTED}, spooler::JobCommands(jobId_))
            << "every job ends reported done, once";
        MonitorJobFixture::TearDown();
    }

    // A scripted server, and the port pointed at it with these switches.
    std::string Serve(const Switches& switches, const std::string& script = "{}")
    {
        const std::string host = smtp_.Start(script);
        EXPECT_FALSE(host.empty()) << smtp_.lastError();
        const std::wstring server(host.begin(), host.end());
        for (const RegValue& value :
             {StringValue(L"ServAddr", L"printer@remote.test", false), StringValue(L"SMTPAddr", server, false),
              StringValue(L"UserAddr", L"anna@sender.test", false), DwordValue(L"ShowSw", 0),
              DwordValue(L"CheckMailSw", switches.checkMail), DwordValue(L"PartSw", switches.partSw),
              DwordValue(L"PartLimit", switches.partLimit)})
            WriteRegValue(kPort, value);
        return host;
    }

    PrintOutcome Print(ULONGLONG size, std::function<void(DWORD)> started = nullptr)
    {
        PrintRequest request;
        request.port = kPort;
        request.document = L"Quarterly report";
        request.bufferSize = 65536;
        ULONGLONG offset = 0;
        request.read = [size, &offset](BYTE* buffer, DWORD capacity) -> long {
            const ULONGLONG count = std::min<ULONGLONG>(capacity, size - offset);
            for (ULONGLONG i = 0; i < count; ++i)
                buffer[i] = PatternByte(offset + i);
            offset += count;
            return static_cast<long>(count);
        };
        request.started = [this, started](DWORD id) {
            jobId_ = id;
            if (started)
                started(id);
        };
        const PrintOutcome outcome = PrintJob(*monitor_.Functions(), request);
        EXPECT_EQ(L"", outcome.failedStep) << outcome.error;
        return outcome;
    }

    void ExpectQuestion(UINT textId, int answer, DWORD sizeKb = 0, DWORD partKb = 0, DWORD parts = 0)
    {
        std::wstring text = InstalledResourceString(textId);
        if (textId == IDS_SPLIT_JOB) {
            WCHAR formatted[1025];
            wsprintfW(formatted, text.c_str(), sizeKb, partKb, parts);
            text = formatted;
        }
        boxes_.Expect(InstalledResourceString(IDS_LARGE_JOB_CAPTION), text, answer);
    }

    // The mails the server got, each checked to carry its part number and exactly its bytes.
    void ExpectParts(const std::string& host, ULONGLONG size, ULONGLONG chunk, DWORD count)
    {
        const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, static_cast<int>(count));
        ASSERT_EQ(count, sessions.size());
        for (DWORD part = 1; part <= count; ++part) {
            SCOPED_TRACE(part);
            const ParsedMessage message = smtp_.Message(host, static_cast<int>(part - 1));
            ASSERT_TRUE(message.ok);
            ASSERT_EQ(2u, message.parts.size());
            const std::string partial = "KAP-PARTIAL=" + std::to_string(part) + "/" + std::to_string(count);
            EXPECT_NE(std::string::npos, message.parts[0].text.find(partial)) << message.parts[0].text;
            const ULONGLONG from = (part - 1) * chunk;
            const ULONGLONG bytes = part < count ? chunk : size - from;
            EXPECT_EQ(static_cast<long long>(bytes), message.parts[1].size);
            EXPECT_EQ(Crc32(PatternBytes(from, bytes)), message.parts[1].crc32);
        }
    }

    ScriptedSmtp smtp_;
    DWORD jobId_ = 0;
};

TEST_F(PrintDispatch, OneMebibyteGoesWithoutAQuestion)
{
    const std::string host = Serve({});
    Print(kMiB);
    ExpectParts(host, kMiB, kMiB, 1);
}

TEST_F(PrintDispatch, OneByteMoreIsQuestionedAndCancelSendsNothing)
{
    const std::string host = Serve({});
    ExpectQuestion(IDS_LARGE_JOB, IDCANCEL);
    Print(kMiB + 1);
    EXPECT_TRUE(boxes_.WaitForBoxes(1)) << Utf8(boxes_.Describe());
    EXPECT_TRUE(smtp_.Sessions(host).empty());
}

TEST_F(PrintDispatch, AnsweringOkSendsTheQuestionedJobWhole)
{
    const std::string host = Serve({});
    ExpectQuestion(IDS_LARGE_JOB, IDOK);
    Print(kMiB + 1);
    ExpectParts(host, kMiB + 1, kMiB + 1, 1);
}

TEST_F(PrintDispatch, SplitJobsBelowTwoMebibytesAreNotQuestioned)
{
    const std::string host = Serve({1, 1, 1024});
    Print(kMiB + kMiB / 2);
    ExpectParts(host, kMiB + kMiB / 2, kMiB, 2);
}

TEST_F(PrintDispatch, TwoMebibytesInPartsAreQuestionedWithSizePartSizeAndCount)
{
    const std::string host = Serve({1, 1, 1024});
    ExpectQuestion(IDS_SPLIT_JOB, IDOK, 2048, 1024, 2);
    Print(2 * kMiB);
    EXPECT_TRUE(boxes_.WaitForBoxes(1)) << Utf8(boxes_.Describe());
    ExpectParts(host, 2 * kMiB, kMiB, 2);
}

TEST_F(PrintDispatch, OneByteOverAWholeNumberOfPartsMakesALastPartOfOneByte)
{
    const std::string host = Serve({0, 1, 1024});
    Print(2 * kMiB + 1);
    ExpectParts(host, 2 * kMiB + 1, kMiB, 3);
}

TEST_F(PrintDispatch, PartsFollowTheStoredPartSize)
{
    const std::string host = Serve({0, 1, 16});
    Print(40000);
    ExpectParts(host, 40000, 16384, 3);
}

TEST_F(PrintDispatch, AnEmptySplitJobSendsNothing)
{
    const std::string host = Serve({1, 1, 1024});
    Print(0);
    EXPECT_TRUE(smtp_.Sessions(host).empty());
}

TEST_F(PrintDispatch, AJobDeletedWhileSpooledIsNotMailed)
{
    const std::string host = Serve({0, 0, 1024});
    Print(5000, [](DWORD id) { spooler::SetJobStatusBits(id, JOB_STATUS_DELETING); });
    EXPECT_TRUE(smtp_.Sessions(host).empty());
}

TEST_F(PrintDispatch, ARefusedPartStopsTheLaterParts)
{
    const std::string host = Serve({0, 1, 16}, R"({"replies": {"RCPT": ["250 ok\r\n", "550 mailbox full\r\n"]}})");
    boxes_.Expect(InstalledResourceString(IDS_SERVER_REFUSED), L"550 mailbox full");
    boxes_.Expect(InstalledResourceString(IDS_MESSAGE_CAPTION), L"printer@remote.test");
    Print(40000);
    EXPECT_TRUE(boxes_.WaitForBoxes(2)) << Utf8(boxes_.Describe());
    const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, 2);
    EXPECT_EQ(2u, sessions.size()) << "the third part is not attempted";
}

TEST_F(PrintDispatch, AJobDeletedWhileItsFirstPartIsMailedSendsNoMorePartsAndLeavesNoFiles)
{
    const std::string host = Serve({0, 1, 1024}, R"({"stop_reading_in_data_after": 1})");
    std::promise<DWORD> jobKnown;
    auto printing = std::async(std::launch::async, [&] {
        return Print(3 * kMiB, [&](DWORD id) { jobKnown.set_value(id); });
    });
    const DWORD id = jobKnown.get_future().get();
    ASSERT_EQ(1u, smtp_.Wait(host, 1, "stopped-reading").size());
    ASSERT_TRUE(spooler::SetJobStatusBits(id, JOB_STATUS_DELETING));
    ASSERT_EQ(std::future_status::ready, printing.wait_for(std::chrono::seconds(300)));
    EXPECT_EQ(1u, smtp_.Sessions(host).size());
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

TEST_F(PrintDispatch, AJobDeletedWhileItGoesToAFastServerIsCutShortAndNotDelivered)
{
    const std::string host = Serve({0, 0, 1024});
    std::promise<DWORD> jobKnown;
    auto printing = std::async(std::launch::async, [&] {
        return Print(3 * kMiB, [&](DWORD id) { jobKnown.set_value(id); });
    });
    const DWORD id = jobKnown.get_future().get();
    ASSERT_EQ(1u, smtp_.Wait(host, 1, "data").size()) << "the data did not start";
    ASSERT_TRUE(spooler::SetJobStatusBits(id, JOB_STATUS_DELETING));
    ASSERT_EQ(std::future_status::ready, printing.wait_for(std::chrono::seconds(300)));
    const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, 1);
    ASSERT_EQ(1u, sessions.size());
    EXPECT_NE("delivered", sessions[0].state);
    EXPECT_EQ(std::string::npos, sessions[0].received.find("\r\n.\r\n")) << "no end of data after the deletion";
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

// A stored part size the dialog would never store counts as missing, and the default of 1024 KB
// serves. A buffer sized with a wrapped or cut size (1 KB for 0x400001) would be overrun by the
// part read into it: the print host crashes on the corrupt heap (as it did before), the process
// heap fails its check, or the mailed bytes differ from the printed ones.
class StoredPartLimit : public PrintDispatch, public ::testing::WithParamInterface<DWORD> {};

TEST_P(StoredPartLimit, OutsideTheDialogsRangeServesTheDefault)
{
    const std::string host = Serve({0, 1, GetParam()});
    Print(20000);
    ExpectParts(host, 20000, kMiB, 1);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr)) << "the process heap was overrun";
}

INSTANTIATE_TEST_SUITE_P(Dispatch, StoredPartLimit, ::testing::Values(0x400001, 0, 0xFFFFFFFF));

TEST_F(PrintDispatch, AVerySlowServerGetsTheWholeJobWithoutABox)
{
    // About 80 KB a second, through a receive buffer of 4 KB: every large write goes in pieces,
    // with waits between them.
    const std::string host = Serve({0, 0, 1024}, R"({"slow_reading_in_data": [4096, 0.05]})");
    Print(100000); // three writes of mail text
    ExpectParts(host, 100000, 100000, 1);
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

// An envelope address that the ANSI code page cannot hold exactly would name someone else once
// converted: like an entry without "@", its mail goes to "QUIT" without a box.
TEST_F(PrintDispatch, AnAddressTheCodePageCannotHoldIsNotMailed)
{
    const std::wstring lWithStroke = L"\u0142"; // in neither code page 1252 nor 932
    wchar_t held[2] = L"";                      // a letter the code page holds, whatever it is
    MultiByteToWideChar(CP_ACP, 0, "\xC4", 1, held, 1);
    struct Case {
        std::wstring sender;
        std::wstring recipient;
        std::string afterHelo; // what follows "HELO"
    };
    const Case cases[] = {
        {L"anna@sender.test", lWithStroke + L"ukasz@remote.test", "MAIL FROM:<anna@sender.test>\r\nQUIT\r\n"},
        {lWithStroke + L"ukasz <lukasz@sender.test>", L"printer@remote.test", "QUIT\r\n"},
        {std::wstring(L"J") + held + L"rg <anna@sender.test>", std::wstring(L"Print ") + held + L" <printer@remote.test>",
         "MAIL FROM:<anna@sender.test>\r\nRCPT TO:<printer@remote.test>\r\nDATA\r\n"},
    };
    for (const Case& c : cases) {
        const std::string host = Serve({0, 0, 1024});
        WriteRegValue(kPort, StringValue(L"UserAddr", c.sender, false));
        WriteRegValue(kPort, StringValue(L"ServAddr", c.recipient, false));
        Print(100);
        const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, 1);
        ASSERT_EQ(1u, sessions.size());
        EXPECT_EQ(0u, sessions[0].received.find("HELO " + host + "\r\n" + c.afterHelo)) << sessions[0].received;
    }
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

// Servers and addresses that fail the mail: the user is told once, in the box for the failure,
// and the job still ends reported done with nothing left behind.
struct ServerFailure {
    const char* name;
    const char* script;     // for a scripted server; nullptr: no server, SMTPAddr is the address
    const wchar_t* address;
    int connections;        // the scripted server saw this many
    UINT captionId;
    UINT textId;            // 0: the text is the reply below; a "%s" in it is the address
    const wchar_t* reply;
    UINT icon;
};

class FailingServer : public PrintDispatch, public ::testing::WithParamInterface<ServerFailure> {};

TEST_P(FailingServer, IsReportedOnceInItsOwnBox)
{
    const ServerFailure& failure = GetParam();
    std::string host;
    if (failure.script != nullptr) {
        host = Serve({0, 0, 1024}, failure.script);
    } else {
        Serve({0, 0, 1024});
        WriteRegValue(kPort, StringValue(L"SMTPAddr", failure.address, false));
    }
    std::wstring text = failure.reply != nullptr ? failure.reply : InstalledResourceString(failure.textId);
    const size_t slot = text.find(L"%s");
    if (slot != std::wstring::npos)
        text.replace(slot, 2, failure.address);
    boxes_.Expect(InstalledResourceString(failure.captionId), text);
    Print(5000);
    ASSERT_TRUE(boxes_.WaitForBoxes(1)) << Utf8(boxes_.Describe());
    EXPECT_EQ(failure.icon, MessageBoxIcon(boxes_.Seen().front().style));
    if (!host.empty())
        EXPECT_EQ(static_cast<size_t>(failure.connections), smtp_.Wait(host, failure.connections).size());
    Sleep(500); // a second box would have come by now
    EXPECT_EQ(1u, boxes_.Seen().size()) << Utf8(boxes_.Describe());
}

INSTANTIATE_TEST_SUITE_P(
    Mail, FailingServer,
    ::testing::Values(
        ServerFailure{"Greeting421FourTimes", R"({"greetings": ["421 too busy\r\n"]})", nullptr, 4, IDS_SERVER_REFUSED,
                      0, L"421 too busy", MB_ICONERROR},
        ServerFailure{"ClosedBeforeTheGreeting", R"({"drop": true})", nullptr, 1, IDS_MESSAGE_CAPTION,
                      IDS_NETWORK_IO, nullptr, MB_ICONERROR},
        ServerFailure{"ClosedInTheMiddleOfTheData", R"({"close_in_data_after": 2000})", nullptr, 1,
                      IDS_MESSAGE_CAPTION, IDS_NETWORK_IO, nullptr, MB_ICONERROR},
        // Nothing more is written on the dead connection: no "QUIT", whose failure would be told again.
        ServerFailure{"ClosedAtTheEndOfData", R"({"close_after_data": true})", nullptr, 1, IDS_MESSAGE_CAPTION,
                      IDS_NETWORK_IO, nullptr, MB_ICONERROR},
        ServerFailure{"NobodyListening", nullptr, L"127.0.2.1", 0, IDS_MESSAGE_CAPTION, IDS_CONNECT_FAILED, nullptr, 0},
        ServerFailure{"UnknownServerName", nullptr, L"no-such-host.invalid", 0, IDS_MESSAGE_CAPTION,
                      IDS_SERVER_UNRESOLVED, nullptr, MB_ICONERROR}),
    [](const ::testing::TestParamInfo<ServerFailure>& info) { return std::string(info.param.name); });

} // namespace
