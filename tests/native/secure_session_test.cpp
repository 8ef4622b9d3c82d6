#include "monitor/mail/secure_session.h"
#include "monitor/mail/tls_channel.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

class Host : public SessionHost {
public:
    uint32_t now = 1000;
    int abortAtPoll = 0;
    int polls = 0;
    bool aborted = false;
    uint32_t NowMs() override { return now; }
    bool PollForAbort() override { return aborted = aborted || ++polls == abortAtPoll; }
    bool SendAborted() override { return aborted; }
    void ShowNetworkFailure() override {}
    void ShowRefusal(const char*) override {}
};

// A server that answers every line written with its next reply; silent once they run out.
class LineServer : public SmtpSocket {
public:
    explicit LineServer(Host& host) : host_(host) {}
    std::deque<std::string> replies;
    std::string written;
    std::string incoming;

    IoStatus TrySend(const char* data, size_t length, size_t* sent) override
    {
        written.append(data, length);
        *sent = length;
        if (written.back() == '\n' && !replies.empty()) {
            incoming += replies.front();
            replies.pop_front();
        }
        return IoStatus::Done;
    }
    IoStatus TryReceive(char* buffer, size_t capacity, size_t* received) override
    {
        if (incoming.empty())
            return IoStatus::WouldBlock;
        *received = std::min(capacity, incoming.size());
        incoming.copy(buffer, *received);
        incoming.erase(0, *received);
        return IoStatus::Done;
    }
    Readiness WaitReady(StepDirection direction, uint32_t sliceMs) override
    {
        if (direction == StepDirection::Receive && incoming.empty()) {
            host_.now += sliceMs;
            return Readiness::NotYet;
        }
        return Readiness::Ready;
    }

private:
    Host& host_;
};

class Reporter : public SecureReporter {
public:
    std::vector<std::string> shown; // each box as "failure:reply" and "limit<mail"
    void ShowSecureFailure(SecureFailure failure, const char* reply, uint64_t limit, uint64_t mail) override
    {
        shown.push_back(std::to_string(static_cast<int>(failure)) + ":" + reply +
                        (limit ? std::to_string(limit) + "<" + std::to_string(mail) : ""));
    }
    void ShowCertificateRefused(CertificateVerdict verdict) override
    {
        shown.push_back("certificate " + std::to_string(static_cast<int>(verdict)));
    }
};

// The encrypted side of the connection after a handshake that succeeds or not.
class Channel : public SecureChannel {
public:
    explicit Channel(Host& host) : encrypted(host) {}
    LineServer encrypted;
    bool succeeds = true;
    bool Handshake() override { return succeeds; }
    SmtpSocket& Socket() override { return encrypted; }
};

const char kEhlo[] = "250-mx.test\r\n250-STARTTLS\r\n250 SIZE 5000\r\n";
const char kEhloTls[] = "250-mx.test\r\n250-AUTH LOGIN PLAIN\r\n250 SIZE 5000\r\n";

struct Session {
    Host host;
    LineServer clear{host};
    Channel channel{host};
    Reporter reporter;
    SecureOpening opening{SmtpSecurity::StartTls, "pc1", "anna", "s3cret", 1000};
    SmtpSocket* Open() { return OpenSecureSession(opening, clear, channel, host, reporter); }
};

TEST(SecureSession, EachFailureShowsOneReasonAndNothingMoreIsWritten)
{
    struct Case {
        const char* name;
        std::deque<std::string> clear, encrypted;
        const char* user;
        bool handshake;
        std::string clearWritten, encryptedWritten, shown;
    } cases[] = {
        {"STARTTLS not offered", {"250-mx\r\n250 AUTH PLAIN\r\n"}, {}, "anna", true, "EHLO pc1\r\n", "", "0:"},
        {"STARTTLS answered 454", {kEhlo, "454 not now\r\n"}, {}, "anna", true, "EHLO pc1\r\nSTARTTLS\r\n", "",
         "1:454 not now\r\n"},
        {"handshake fails", {kEhlo, "220 go\r\n"}, {}, "anna", false, "EHLO pc1\r\nSTARTTLS\r\n", "", ""},
        {"login offered only in clear", {"250-mx\r\n250-STARTTLS\r\n250 AUTH PLAIN\r\n", "220 go\r\n"},
         {"250 mx\r\n"}, "anna", true, "EHLO pc1\r\nSTARTTLS\r\n", "EHLO pc1\r\n", "2:"},
        {"login refused", {kEhlo, "220 go\r\n"}, {kEhloTls, "535 5.7.8 no\r\n"}, "anna", true,
         "EHLO pc1\r\nSTARTTLS\r\n", "EHLO pc1\r\nAUTH PLAIN AGFubmEAczNjcmV0\r\n", "3:535 5.7.8 no\r\n"},
        {"too large for the server", {kEhlo, "220 go\r\n"}, {"250-mx\r\n250 SIZE 999\r\n"}, "", true,
         "EHLO pc1\r\nSTARTTLS\r\n", "EHLO pc1\r\n", "4:999<1000"},
    };
    for (Case& c : cases) {
        Session run;
        run.clear.replies = c.clear;
        run.channel.encrypted.replies = c.encrypted;
        run.channel.succeeds = c.handshake;
        run.opening.user = c.user;
        EXPECT_EQ(nullptr, run.Open()) << c.name;
        EXPECT_EQ(c.clearWritten, run.clear.written) << c.name;
        EXPECT_EQ(c.encryptedWritten, run.channel.encrypted.written) << c.name;
        EXPECT_EQ(c.shown.empty() ? 0u : 1u, run.reporter.shown.size()) << c.name;
        if (!c.shown.empty() && !run.reporter.shown.empty()) {
            EXPECT_EQ(c.shown, run.reporter.shown[0]) << c.name;
        }
    }
}

// A TLS engine whose handshake is "HELLO" answered by the server's "WORLD".
class HelloEngine : public TlsEngine {
public:
    CertificateVerdict verdict = CertificateVerdict::Accepted;
    bool sentHello = false;
    TlsResult HandshakeStep(const char* input, size_t length, size_t* consumed, char* output, size_t,
                            size_t* outputLength) override
    {
        if (!sentHello) {
            sentHello = true;
            *outputLength = 5;
            std::memcpy(output, "HELLO", 5);
            return TlsResult::Continue;
        }
        if (length < 5)
            return TlsResult::NeedMore;
        *consumed = 5;
        return std::string(input, 5) == "WORLD" ? TlsResult::Done : TlsResult::Failed;
    }
    CertificateVerdict CheckCertificate() override { return verdict; }
    size_t MaxRecordPlainBytes() override { return 100; }
    // The records are the real engine's: these tests end with the handshake.
    bool Encrypt(const char*, size_t, char*, size_t, size_t*) override { return false; }
    TlsResult Decrypt(char*, size_t, size_t*, char**, size_t*) override { return TlsResult::Failed; }
};

TEST(TlsChannel, SilenceOrAJobDeletedDuringTheHandshakeOrABadCertificateEndsIt)
{
    struct Case { const char* name; int abortAtPoll; const char* server; CertificateVerdict verdict;
                  std::string shown; uint32_t elapsed; } cases[] = {
        {"silent server", 0, "", CertificateVerdict::Accepted, "5:", kStepTimeoutMs},
        {"job deleted", 3, "", CertificateVerdict::Accepted, "", 3 * kWaitSliceMs},
        {"not the pinned certificate", 0, "WORLD", CertificateVerdict::NotPinned, "certificate 4", 0},
    };
    for (const Case& c : cases) {
        Host host;
        host.abortAtPoll = c.abortAtPoll;
        LineServer raw(host);
        raw.incoming = c.server;
        HelloEngine engine;
        engine.verdict = c.verdict;
        Reporter reporter;
        TlsChannel channel(raw, host, engine, reporter);
        EXPECT_FALSE(channel.Handshake()) << c.name;
        EXPECT_EQ(c.elapsed, host.now - 1000) << c.name;
        EXPECT_EQ(c.shown.empty() ? 0u : 1u, reporter.shown.size()) << c.name;
        if (!c.shown.empty() && !reporter.shown.empty()) {
            EXPECT_EQ(c.shown, reporter.shown[0]) << c.name;
        }
        EXPECT_TRUE(channel.GivenUp() && raw.GivenUp()) << c.name;
        size_t sent = 0;
        EXPECT_EQ(IoStatus::Failed, channel.TrySend("QUIT\r\n", 6, &sent)) << c.name << ": nothing more";
    }
}

} // namespace
