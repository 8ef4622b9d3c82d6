// The secure modes end to end through the installed monitor, against the scripted server with
// TLS from Python's ssl module: certificates of a test CA that with_test_ca.sh makes the
// machine trust for this run. Each failure shows its one box and nothing more goes out.
#include <winsock2.h>
#include <windows.h>

#include "monitor/core/port_settings.h"
#include "monitor/core/protected_password.h"
#include "monitor/core/resource_ids.h"
#include "printhost/print_job.h"
#include "printhost/spooler_standin_control.h"
#include "tests/wine/mail_smtp_control.h"
#include "tests/wine/support/monitor_job_fixture.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace mailtest;

namespace {
constexpr wchar_t kPort[] = L"NMX4";

struct Secure {
    DWORD security;
    const wchar_t* user = L"";
    const wchar_t* pin = L"";
};

class SecureDelivery : public MonitorJobFixture {
protected:
    SecureDelivery() : MonitorJobFixture({{kPort, {DwordValue(L"ShowSw", 0)}}}) {}

    void Serve(const std::string& script, const Secure& secure)
    {
        host_ = smtp_.Start(script);
        EXPECT_FALSE(host_.empty()) << smtp_.lastError();
        server_.assign(host_.begin(), host_.end());
        PortSettings settings{};
        lstrcpyW(settings.PortName, kPort);
        LoadPortSettings(&settings);
        lstrcpyW(settings.ServAddr, L"printer@remote.test");
        lstrcpyW(settings.SMTPAddr, server_.c_str());
        lstrcpyW(settings.UserAddr, L"anna@sender.test");
        settings.ShowSw = 0;
        settings.CheckMailSw = 0;
        settings.SMTPSecurity = secure.security;
        settings.SMTPPort = 25; // the scripted servers listen on 25 of their own address
        lstrcpyW(settings.SMTPUser, secure.user);
        lstrcpyW(settings.SMTPCertSHA256, secure.pin);
        EXPECT_TRUE(ProtectPassword(L"s\u00e9cret", &settings));
        EXPECT_EQ(ERROR_SUCCESS, SavePortSettings(&settings));
    }

    void Print(DWORD size)
    {
        PrintRequest request;
        request.port = kPort;
        request.document = L"Secure";
        request.bufferSize = 65536;
        request.read = [size, sent = DWORD{0}](BYTE* buffer, DWORD capacity) mutable -> long {
            const DWORD count = std::min(capacity, size - sent);
            FillMemory(buffer, count, 'x');
            sent += count;
            return static_cast<long>(count);
        };
        const PrintOutcome outcome = PrintJob(*monitor_.Functions(), request);
        EXPECT_EQ(L"", outcome.failedStep) << outcome.error;
    }

    // The text's "%s" and "%lu" are the server, then the values.
    void ExpectBox(UINT textId, std::vector<std::wstring> values)
    {
        std::wstring text = InstalledResourceString(textId);
        values.insert(values.begin(), server_);
        size_t slot = 0;
        for (const std::wstring& value : values) {
            slot = std::min(text.find(L"%s", slot), text.find(L"%lu", slot));
            if (slot != std::wstring::npos)
                text.replace(slot, text.compare(slot, 3, L"%lu") == 0 ? 3 : 2, value);
        }
        boxes_.Expect(InstalledResourceString(IDS_MESSAGE_CAPTION), text);
    }

    SmtpSessionRecord OnlySession()
    {
        const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host_, 1);
        return sessions.size() == 1 ? sessions[0] : SmtpSessionRecord{"(not one session)", "", false};
    }

    ScriptedSmtp smtp_;
    std::string host_;
    std::wstring server_;
};

// STARTTLS with AUTH PLAIN, and TLS from the first byte with AUTH LOGIN where only that is offered:
// base64 of NUL anna NUL and the password in UTF-8, or of each alone.
TEST_F(SecureDelivery, TheLoginAndTheMailGoOnlyOverTheEncryptedConnection)
{
    char name[256] = "";
    DWORD length = sizeof name;
    GetComputerNameExA(ComputerNameDnsHostname, name, &length);
    const std::string ehlo = std::string("EHLO ") + name + "\r\n";
    const std::pair<const char*, std::string> cases[] = {
        {R"({"tls": {}})", ehlo + "STARTTLS\r\n" + ehlo + "AUTH PLAIN AGFubmEAc8OpY3JldA==\r\nMAIL FROM:"},
        {R"({"tls": {"implicit": true}, "replies": {"EHLO": ["250-scripted.test\r\n250 AUTH LOGIN\r\n"]}})",
         ehlo + "AUTH LOGIN\r\nYW5uYQ==\r\nc8OpY3JldA==\r\nMAIL FROM:"}};
    for (const auto& [script, opening] : cases) {
        Serve(script, {std::string(script).find("implicit") != std::string::npos ? 2u : 1u, L"anna"});
        Print(3000);
        const SmtpSessionRecord session = OnlySession();
        EXPECT_EQ("delivered", session.state);
        EXPECT_EQ(0u, session.received.find(opening)) << session.received;
        const ParsedMessage message = smtp_.Message(host_, 0);
        EXPECT_TRUE(message.ok && message.parts.size() == 2 && message.parts[1].size == 3000);
    }
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

struct Refusal {
    const char* name;
    const char* script;
    Secure secure;
    UINT textId;
    std::vector<std::wstring> values; // the "%s" of the text after the server
    const char* lastWritten; // what the server received last, in clear or decrypted; null: no connection
};

class SecureRefusal : public SecureDelivery, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SecureRefusal, OneBoxAndNothingSentAfter)
{
    const Refusal& refusal = GetParam();
    Serve(refusal.script, refusal.secure);
    ExpectBox(refusal.textId, refusal.values);
    Print(20000);
    ASSERT_TRUE(boxes_.WaitForBoxes(1)) << Utf8(boxes_.Describe());
    if (refusal.lastWritten == nullptr) {
        EXPECT_TRUE(smtp_.Sessions(host_).empty());
        return;
    }
    const SmtpSessionRecord session = OnlySession();
    const std::string last = refusal.lastWritten;
    EXPECT_TRUE(session.received.size() >= last.size() &&
                session.received.compare(session.received.size() - last.size(), last.size(), last) == 0)
        << session.received;
    EXPECT_EQ(std::string::npos, session.received.find("MAIL FROM")) << session.received;
    Sleep(300); // a second box would have come by now
    EXPECT_EQ(1u, boxes_.Seen().size()) << Utf8(boxes_.Describe());
}

// The fingerprint of no certificate the server shows.
constexpr wchar_t kOtherPin[] = L"00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF";

INSTANTIATE_TEST_SUITE_P(
    Mail, SecureRefusal,
    ::testing::Values(
        Refusal{"StartTlsNotOffered", R"({"replies": {"EHLO": ["250-scripted.test\r\n250 AUTH PLAIN\r\n"]}})",
                {1, L"anna"}, IDS_STARTTLS_NOT_OFFERED, {}, "\r\n"},
        Refusal{"StartTls454", R"({"tls": {}, "replies": {"STARTTLS": ["454 TLS not available\r\n"]}})", {1},
                IDS_STARTTLS_REFUSED, {L"454 TLS not available"}, "STARTTLS\r\n"},
        Refusal{"AnotherName", R"({"tls": {"certificate": "other-name"}})", {1}, IDS_CERT_OTHER_NAME, {},
                "STARTTLS\r\n"},
        Refusal{"UntrustedCa", R"({"tls": {"certificate": "untrusted", "implicit": true}})", {2},
                IDS_CERT_UNTRUSTED, {}, ""},
        Refusal{"Expired", R"({"tls": {"certificate": "expired"}})", {1}, IDS_CERT_EXPIRED, {}, "STARTTLS\r\n"},
        Refusal{"PinnedMismatch", R"({"tls": {"certificate": "good"}})", {1, L"", kOtherPin}, IDS_CERT_NOT_PINNED,
                {}, "STARTTLS\r\n"},
        Refusal{"Login535", R"({"tls": {}, "replies": {"AUTH": ["535 5.7.8 bad credentials\r\n"]}})",
                {1, L"anna"}, IDS_LOGIN_REFUSED, {L"anna", L"535 5.7.8 bad credentials"},
                "AUTH PLAIN AGFubmEAc8OpY3JldA==\r\n"},
        Refusal{"SizeLimit", R"({"tls": {}, "replies": {"EHLO": ["250-scripted.test\r\n250-STARTTLS\r\n250 SIZE 27000\r\n"]}})",
                {1}, IDS_SIZE_LIMIT, {L"27", L"28", L"18"}, "\r\n"},
        Refusal{"BadSecurityValue", R"({})", {7}, IDS_BAD_SECURITY_SETTINGS, {}, nullptr}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(SecureDelivery, JobDeletedWhileTheServerIsSilentInTheHandshakeEndsItWithoutABox)
{
    Serve(R"({"tls": {"silent_handshake": true}})", {1});
    PrintRequest request;
    request.port = kPort;
    request.bufferSize = 65536;
    request.read = [sent = false](BYTE* buffer, DWORD) mutable -> long { return sent ? 0 : (sent = true, buffer[0] = 1, 1); };
    std::thread deleter;
    request.started = [this, &deleter](DWORD id) {
        // Deleted in the queue once the handshake waits; the poll during the wait stops it.
        deleter = std::thread([this, id] {
            smtp_.Wait(host_, 1, "greeted", 60);
            Sleep(1000);
            spooler::SetJobStatusBits(id, JOB_STATUS_DELETING);
        });
    };
    const DWORD start = GetTickCount();
    PrintJob(*monitor_.Functions(), request);
    deleter.join();
    EXPECT_LT(GetTickCount() - start, 30000u) << "stopped by the poll, not the 60 s bound";
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

} // namespace
