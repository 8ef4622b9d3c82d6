#include "monitor/mail/smtp_session.h"
#include "monitor/mail/job_mail.h"
#include "monitor/mail/message_stream.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

// The monitor around the session, with a clock that only moves when a step waits.
class FakeHost : public SessionHost {
public:
    uint32_t now = 1000;
    int abortAtPoll = 0; // the job is found deleted at this poll; 0: never
    bool aborted = false;
    int polls = 0;
    int networkFailures = 0;
    std::vector<std::string> refusals;

    uint32_t NowMs() override { return now; }
    bool PollForAbort() override
    {
        if (++polls == abortAtPoll)
            aborted = true;
        return aborted;
    }
    bool SendAborted() override { return aborted; }
    void ShowNetworkFailure() override { ++networkFailures; }
    void ShowRefusal(const char* reply) override { refusals.push_back(reply); }
};

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A server at the other end of a socket: it answers every text that ends a line with the
// next scripted reply, delivered in chunks of chunkSize bytes; once it has accepted "DATA"
// with a "3" reply, it answers only the end of the data.
class FakeSocket : public SmtpSocket {
public:
    explicit FakeSocket(FakeHost& host) : host_(host) {}

    std::deque<std::string> replies;
    std::string incoming;
    std::string written;
    size_t sendLimit = SIZE_MAX;   // bytes one send call takes
    size_t chunkSize = SIZE_MAX;   // bytes one receive call delivers
    bool sendsBlock = false;       // the server has stopped reading
    size_t readsUpTo = SIZE_MAX;   // the server stops reading after this many bytes
    uint32_t readPauseMs = 0;      // a slow reader: after each send it takes, the next one this much later
    uint32_t lastReadMs = 0;       // when it took bytes last
    bool closesWhenDrained = false;
    int sendCalls = 0;

    IoStatus TrySend(const char* data, size_t length, size_t* sent) override
    {
        ++sendCalls;
        if (!Reading())
            return IoStatus::WouldBlock;
        *sent = std::min({length, sendLimit, readsUpTo - written.size()});
        written.append(data, *sent);
        lastReadMs = host_.now;
        Answer();
        return IoStatus::Done;
    }
    IoStatus TryReceive(char* buffer, size_t capacity, size_t* received) override
    {
        if (incoming.empty())
            return closesWhenDrained ? IoStatus::Closed : IoStatus::WouldBlock;
        *received = std::min({capacity, chunkSize, incoming.size()});
        incoming.copy(buffer, *received);
        incoming.erase(0, *received);
        return IoStatus::Done;
    }
    Readiness WaitReady(StepDirection direction, uint32_t sliceMs) override
    {
        const bool ready = direction == StepDirection::Receive ? !incoming.empty() : Reading();
        if (!ready)
            host_.now += sliceMs;
        return ready ? Readiness::Ready : Readiness::NotYet;
    }

private:
    bool Reading() const
    {
        if (sendsBlock || written.size() >= readsUpTo)
            return false;
        return readPauseMs == 0 || written.empty() || host_.now - lastReadMs >= readPauseMs;
    }

    void Answer()
    {
        if (written.back() != '\n' || replies.empty() || (inData_ && !EndsWith(written, "\r\n.\r\n")))
            return;
        inData_ = !inData_ && EndsWith(written, "DATA\r\n") && replies.front()[0] == '3';
        incoming += replies.front();
        replies.pop_front();
    }

    FakeHost& host_;
    bool inData_ = false;
};

bool Command(FakeSocket& socket, FakeHost& host, const std::string& text)
{
    return SendSmtpCommand(socket, host, text.data(), text.size());
}

bool Text(FakeSocket& socket, FakeHost& host, const std::string& text)
{
    return SendSmtpText(socket, host, text.data(), text.size());
}

struct Fixture {
    FakeHost host;
    FakeSocket socket{host};
};

} // namespace

TEST(SmtpCommand, AcceptedReplyAfterOneWriting)
{
    Fixture f;
    f.socket.replies = {"250 ok\r\n"};
    EXPECT_TRUE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_EQ(f.socket.written, "HELO host\r\n");
    EXPECT_TRUE(f.host.refusals.empty());
}

TEST(SmtpCommand, TransientReplyIsAnsweredByWritingTheCommandAgain)
{
    Fixture f;
    f.socket.replies = {"452 try later\r\n", "250 ok\r\n"};
    EXPECT_TRUE(Command(f.socket, f.host, "MAIL FROM:<a@b.c>\r\n"));
    EXPECT_EQ(f.socket.written, "MAIL FROM:<a@b.c>\r\nMAIL FROM:<a@b.c>\r\n");
    EXPECT_TRUE(f.host.refusals.empty());
}

TEST(SmtpCommand, FourTransientRepliesRefuseAfterTheFourthWriting)
{
    Fixture f;
    f.socket.replies = {"452 a\r\n", "452 b\r\n", "452 c\r\n", "452 d\r\n", "250 never\r\n"};
    EXPECT_FALSE(Command(f.socket, f.host, "DATA\r\n"));
    EXPECT_EQ(f.socket.written, "DATA\r\nDATA\r\nDATA\r\nDATA\r\n");
    EXPECT_EQ(f.host.refusals, std::vector<std::string>{"452 d\r\n"});
}

TEST(SmtpCommand, RefusalShowsTheReplyAfterOneWriting)
{
    Fixture f;
    f.socket.replies = {"550 no such user\r\n"};
    EXPECT_FALSE(Command(f.socket, f.host, "RCPT TO:<x@y.z>\r\n"));
    EXPECT_EQ(f.socket.written, "RCPT TO:<x@y.z>\r\n");
    EXPECT_EQ(f.host.refusals, std::vector<std::string>{"550 no such user\r\n"});
    EXPECT_EQ(f.host.networkFailures, 0);
}

TEST(SmtpCommand, MultiLineReplyIsReadToItsEndBeforeTheNextCommand)
{
    for (size_t chunk : {SIZE_MAX, size_t{1}, size_t{5}}) {
        Fixture f;
        f.socket.chunkSize = chunk;
        f.socket.replies = {"250-host greets\r\n250-SIZE\r\n250 HELP\r\n", "550 refused\r\n"};
        EXPECT_TRUE(Command(f.socket, f.host, "HELO host\r\n")) << "chunks of " << chunk;
        EXPECT_FALSE(Command(f.socket, f.host, "MAIL FROM:<a@b.c>\r\n"));
        EXPECT_EQ(f.host.refusals, std::vector<std::string>{"550 refused\r\n"});
    }
}

TEST(SmtpCommand, MultiLineRefusalIsShownWhole)
{
    Fixture f;
    f.socket.replies = {"550-first\r\n550 second\r\n"};
    EXPECT_FALSE(Command(f.socket, f.host, "DATA\r\n"));
    EXPECT_EQ(f.host.refusals, std::vector<std::string>{"550-first\r\n550 second\r\n"});
}

TEST(SmtpCommand, BytesAfterAReplyAreNotTakenForTheNextReply)
{
    Fixture f;
    f.socket.replies = {"250 ok\r\n550 stray\r\n", "250 second\r\n"};
    EXPECT_TRUE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_TRUE(Command(f.socket, f.host, "DATA\r\n"));
    EXPECT_TRUE(f.host.refusals.empty());
}

TEST(SmtpCommand, SilentServerIsCutOffAfterSixtySecondsWithAMessage)
{
    Fixture f;
    const uint32_t start = f.host.now;
    EXPECT_FALSE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_EQ(f.host.now - start, kStepTimeoutMs);
    EXPECT_EQ(f.host.networkFailures, 1);
    EXPECT_GE(f.host.polls, static_cast<int>(kStepTimeoutMs / kWaitSliceMs) - 1);
}

TEST(SmtpCommand, ReplyJustBeforeTheTimeLimitIsAccepted)
{
    Fixture f;
    // The reply arrives when 59 950 ms have passed: the step must still take it.
    struct LateSocket : FakeSocket {
        using FakeSocket::FakeSocket;
        FakeHost* host = nullptr;
        Readiness WaitReady(StepDirection d, uint32_t slice) override
        {
            const Readiness r = FakeSocket::WaitReady(d, slice);
            if (d == StepDirection::Receive && host->now - 1000 >= kStepTimeoutMs - kWaitSliceMs && incoming.empty())
                incoming = "250 late\r\n";
            return r;
        }
    } socket(f.host);
    socket.host = &f.host;
    EXPECT_TRUE(SendSmtpCommand(socket, f.host, "DATA\r\n", 6));
    EXPECT_EQ(f.host.networkFailures, 0);
}

TEST(SmtpCommand, DeletedJobCutsTheWaitShortWithoutAMessage)
{
    Fixture f;
    f.host.abortAtPoll = 200;
    const uint32_t start = f.host.now;
    EXPECT_FALSE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_TRUE(f.host.aborted);
    EXPECT_EQ(f.host.polls, 200);
    EXPECT_EQ(f.host.now - start, 200 * kWaitSliceMs);
    EXPECT_EQ(f.host.networkFailures, 0);
}

TEST(SmtpCommand, ClosedConnectionFailsWithAMessageUnlessTheSendWasAborted)
{
    for (bool aborted : {false, true}) {
        Fixture f;
        f.socket.closesWhenDrained = true;
        f.host.aborted = aborted;
        EXPECT_FALSE(Command(f.socket, f.host, "DATA\r\n"));
        EXPECT_EQ(f.host.networkFailures, aborted ? 0 : 1);
    }
}

TEST(SmtpCommand, EndlessReplyFailsWithAMessage)
{
    Fixture f;
    std::string flood;
    while (flood.size() <= kMaxReplyBytes)
        flood += "250-" + std::string(100, 'x') + "\r\n";
    f.socket.replies = {flood};
    EXPECT_FALSE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_EQ(f.host.networkFailures, 1);
}

TEST(SmtpText, PartialSendsAreFollowedByTheRest)
{
    Fixture f;
    f.socket.sendLimit = 7;
    const std::string line = "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0\r\n";
    EXPECT_TRUE(Text(f.socket, f.host, line));
    EXPECT_EQ(f.socket.written, line);
    EXPECT_EQ(f.socket.sendCalls, static_cast<int>((line.size() + 6) / 7));
}

TEST(SmtpText, BlockedSendIsCutOffAfterSixtySecondsWithAMessage)
{
    Fixture f;
    f.socket.sendsBlock = true;
    const uint32_t start = f.host.now;
    EXPECT_FALSE(Text(f.socket, f.host, "MIME-Version: 1.0\r\n"));
    EXPECT_EQ(f.host.now - start, kStepTimeoutMs);
    EXPECT_EQ(f.host.networkFailures, 1);
}

TEST(SmtpText, JobDeletedWhileASendIsBlockedFailsSilently)
{
    Fixture f;
    f.socket.sendsBlock = true;
    f.host.abortAtPoll = 60;
    EXPECT_FALSE(Text(f.socket, f.host, "MIME-Version: 1.0\r\n"));
    EXPECT_TRUE(f.host.aborted);
    EXPECT_EQ(f.host.networkFailures, 0);
}

namespace {
// A server that takes every line at once; each send costs 10 ms of the clock.
struct FastServerSocket : FakeSocket {
    explicit FastServerSocket(FakeHost& host) : FakeSocket(host), clock(host) {}
    IoStatus TrySend(const char* data, size_t length, size_t* sent) override
    {
        clock.now += 10;
        return FakeSocket::TrySend(data, length, sent);
    }
    FakeHost& clock;
};

// Writes up to count lines of 77 bytes; how many went out.
int WriteLines(FastServerSocket& socket, FakeHost& host, int count)
{
    const std::string line = std::string(75, 'Q') + "\r\n";
    for (int i = 0; i < count; ++i) {
        if (!Text(socket, host, line))
            return i;
    }
    return count;
}
} // namespace

TEST(SmtpText, TransferThatNeverWaitsLooksAtTheJobEveryHalfSecond)
{
    FakeHost host;
    FastServerSocket socket(host);
    EXPECT_EQ(WriteLines(socket, host, 1000), 1000);
    EXPECT_EQ(host.polls, 19) << "10 s of sending, a poll at every 500 ms after the first line";
}

TEST(SmtpText, JobDeletedDuringATransferThatNeverWaitsStopsItSilently)
{
    FakeHost host;
    host.abortAtPoll = 3;
    FastServerSocket socket(host);
    EXPECT_EQ(WriteLines(socket, host, 1000), 150) << "the third poll comes before line 151";
    EXPECT_EQ(socket.written.size(), 150u * 77);
    EXPECT_EQ(host.networkFailures, 0);
    EXPECT_FALSE(Text(socket, host, ".\r\n")) << "nothing more goes out, not even the end of the data";
    EXPECT_EQ(socket.written.size(), 150u * 77);
}

TEST(SmtpText, FailedSendReportsUnlessAborted)
{
    struct BrokenSocket : FakeSocket {
        using FakeSocket::FakeSocket;
        IoStatus TrySend(const char*, size_t, size_t*) override { return IoStatus::Failed; }
    };
    for (bool aborted : {false, true}) {
        FakeHost host;
        host.aborted = aborted;
        BrokenSocket socket(host);
        EXPECT_FALSE(SendSmtpText(socket, host, "x\r\n", 3));
        EXPECT_EQ(host.networkFailures, aborted ? 0 : 1);
    }
}

TEST(StepBound, HoldsAcrossTheWrapOfTheMillisecondClock)
{
    Fixture f;
    f.host.now = UINT32_MAX - 20000;
    const uint32_t start = f.host.now;
    EXPECT_FALSE(Command(f.socket, f.host, "HELO host\r\n"));
    EXPECT_EQ(static_cast<uint32_t>(f.host.now - start), kStepTimeoutMs);
}

namespace {

// Connections to a server whose greetings are scripted, one per connection.
class FakeConnector : public SmtpConnector {
public:
    explicit FakeConnector(FakeHost& host) : host_(host) {}
    std::deque<std::string> greetings;
    bool openFails = false;
    int opens = 0;
    int closes = 0;

    bool Open() override
    {
        if (openFails)
            return false;
        ++opens;
        socket_ = std::make_unique<FakeSocket>(host_);
        if (!greetings.empty()) {
            socket_->incoming = greetings.front();
            greetings.pop_front();
        }
        return true;
    }
    SmtpSocket& Socket() override { return *socket_; }
    void Close() override { ++closes; }

private:
    FakeHost& host_;
    std::unique_ptr<FakeSocket> socket_;
};

} // namespace

TEST(SmtpConnect, GreetingDecidesRetriesAndMessages)
{
    struct Case {
        const char* name;
        std::deque<std::string> greetings;
        bool connected;
        int opens;
        int closes;
        std::vector<std::string> refusals;
        int networkFailures;
    };
    const Case cases[] = {
        {"four transient greetings: four connections, one message",
         {"421 busy 1\r\n", "421 busy 2\r\n", "421 busy 3\r\n", "421 busy 4\r\n", "220 ok\r\n"}, false, 4, 4,
         {"421 busy 4\r\n"}, 0},
        {"transient, then a greeting of several lines",
         {"421 busy\r\n", "220-welcome\r\n220-to the\r\n220 server\r\n"}, true, 2, 1, {}, 0},
        {"refused greeting is not retried", {"554 go away\r\n", "220 ok\r\n"}, false, 1, 1, {"554 go away\r\n"}, 0},
        {"silent server times out without retry", {}, false, 1, 1, {}, 1},
    };
    for (const Case& c : cases) {
        FakeHost host;
        FakeConnector connector(host);
        connector.greetings = c.greetings;
        EXPECT_EQ(ConnectSmtpServer(connector, host), c.connected) << c.name;
        EXPECT_EQ(connector.opens, c.opens) << c.name;
        EXPECT_EQ(connector.closes, c.closes) << c.name;
        EXPECT_EQ(host.refusals, c.refusals) << c.name;
        EXPECT_EQ(host.networkFailures, c.networkFailures) << c.name;
    }
}

TEST(SmtpConnect, FailedOpenEndsAtOnce)
{
    FakeHost host;
    FakeConnector connector(host);
    connector.openFails = true;
    EXPECT_FALSE(ConnectSmtpServer(connector, host));
    EXPECT_EQ(connector.closes, 0);
    EXPECT_TRUE(host.refusals.empty());
}

namespace {

// A base64-like text whose every position differs from its neighbours, so that a lost, doubled
// or moved piece shows.
std::string Base64Text(size_t length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i)
        text[i] = alphabet[(i * 7 + i / 64) % 64];
    return text;
}

std::string InLinesOf75(const std::string& text)
{
    std::string lines;
    for (size_t i = 0; i < text.size(); i += 75)
        lines += text.substr(i, 75) + "\r\n";
    return lines;
}

} // namespace

TEST(MessageStream, AttachmentLinesAreCutAtSeventyFiveWhateverThePiecesAndWrites)
{
    for (size_t length : {0, 1, 74, 75, 76, 150, 1001}) {
        for (size_t piece : {1, 7, 75, 4096}) {
            for (size_t capacity : {10, 77, 1000}) {
                FakeHost host;
                FakeSocket socket(host);
                std::vector<char> buffer(capacity);
                MessageStream stream(socket, host, buffer.data(), capacity);
                Base64Lines lines(stream);
                const std::string text = Base64Text(length);
                for (size_t at = 0; at < length; at += piece)
                    ASSERT_TRUE(lines.Append(text.data() + at, std::min(piece, length - at)));
                EXPECT_TRUE(lines.Finish() && stream.Flush());
                EXPECT_EQ(socket.written, InLinesOf75(text))
                    << length << " characters in pieces of " << piece << ", writes of " << capacity;
            }
        }
    }
}

namespace {

// A job mail to one recipient over the session, whose attachment is a base64 text of the given
// length; the server accepts every command and the data.
struct MailRun {
    explicit MailRun(FakeHost& host, size_t attachmentChars = 0) : socket(host), attachment(Base64Text(attachmentChars))
    {
        socket.replies = {"250 helo\r\n", "250 sender\r\n", "250 recipient\r\n", "354 go on\r\n", "250 queued\r\n",
                          "221 bye\r\n"};
    }

    bool Send(FakeHost& host)
    {
        const JobMailTexts mail{"smtp.test", "anna@sender.test", "printer@remote.test", "", "", "uid", 0, 1, 1,
                                0x0409, "Mon,07 Dec 2026", CivilTime{}, 0};
        Writer writer(*this, host);
        return SendJobMail(mail, writer);
    }

    // The data the server got: from after "DATA" to the end.
    std::string Data() const { return socket.written.substr(socket.written.find("DATA\r\n") + 6); }

    class Writer : public SessionMailWriter {
    public:
        Writer(MailRun& run, FakeHost& host)
            : SessionMailWriter(run.socket, host, run.buffer.data(), run.buffer.size()), run_(run), host_(host)
        {
        }
        bool PrepareAttachment() override { return true; }
        bool SendAttachment() override
        {
            Base64Lines lines(Stream());
            return lines.Append(run_.attachment.data(), run_.attachment.size()) && lines.Finish();
        }
        void ShowRecipientRefused() override {}
        bool SendAborted() override { return host_.aborted; }

    private:
        MailRun& run_;
        FakeHost& host_;
    };

    FakeSocket socket;
    std::string attachment;
    std::vector<char> buffer = std::vector<char>(kMessageWriteBytes);
};

constexpr size_t kAttachmentChars = 100000; // about 100 KB of data: two writes

} // namespace

TEST(LargeWrites, TheMailTextGoesOutInWritesOfSixtyFourKilobytes)
{
    FakeHost host;
    MailRun run(host, kAttachmentChars);
    EXPECT_TRUE(run.Send(host));
    EXPECT_NE(std::string::npos, run.Data().find("--=_cuthere\r\n" + InLinesOf75(run.attachment) + "\r\n--=_cuthere--\r\n"));
    const size_t dataWrites = (run.Data().size() - 5 - 6 + kMessageWriteBytes - 1) / kMessageWriteBytes;
    EXPECT_EQ(run.socket.sendCalls, static_cast<int>(6 + dataWrites)) << "six commands and the data";
}

TEST(LargeWrites, VerySlowReaderGetsTheWholeMailWithoutAMessage)
{
    FakeHost fastHost;
    MailRun fast(fastHost, kAttachmentChars);
    ASSERT_TRUE(fast.Send(fastHost));

    FakeHost host;
    MailRun slow(host, kAttachmentChars);
    slow.socket.sendLimit = 4096;
    slow.socket.readPauseMs = 20000; // a write of 64 KB takes 16 pieces and five minutes
    const uint32_t start = host.now;
    EXPECT_TRUE(slow.Send(host));
    EXPECT_EQ(slow.socket.written, fast.socket.written);
    EXPECT_EQ(host.networkFailures, 0);
    EXPECT_GT(host.now - start, 4 * kStepTimeoutMs) << "the writes went on for minutes, moving all the time";
}

TEST(LargeWrites, JobDeletedWhileALargeWriteIsBlockedStopsAtOnceWithNothingMoreWritten)
{
    FakeHost host;
    MailRun run(host, kAttachmentChars);
    run.socket.readsUpTo = 10000; // in the middle of the first write of data
    host.abortAtPoll = 10;
    const uint32_t start = host.now;
    EXPECT_FALSE(run.Send(host));
    EXPECT_EQ(host.now - start, 10 * kWaitSliceMs) << "the first look that found the job deleted ended it";
    EXPECT_EQ(run.socket.written.size(), 10000u) << "not even the end of data or QUIT";
    EXPECT_EQ(host.networkFailures, 0);
}

TEST(LargeWrites, ServerThatStopsReadingIsCutOffSixtySecondsAfterItsLastByte)
{
    FakeHost host;
    MailRun run(host, kAttachmentChars);
    run.socket.sendLimit = 4096;
    run.socket.readPauseMs = 20000;
    run.socket.readsUpTo = 40000; // ten pieces, over three minutes, then nothing
    const uint32_t start = host.now;
    EXPECT_FALSE(run.Send(host));
    EXPECT_GT(run.socket.lastReadMs - start, kStepTimeoutMs) << "the write moved for longer than one step";
    EXPECT_EQ(host.now - run.socket.lastReadMs, kStepTimeoutMs);
    EXPECT_EQ(run.socket.written.size(), 40000u) << "not even the end of data or QUIT";
    EXPECT_EQ(host.networkFailures, 1);
}

TEST(DeadConnection, NothingMoreIsWrittenAfterASilentStepAndOneBoxServesTheDelivery)
{
    struct Case {
        const char* name;
        size_t answered;      // the server answers this many commands, then goes silent
        const char* lastText; // the last text written on the connection
    };
    const Case cases[] = {
        {"silent after HELO", 1, "MAIL FROM:<anna@sender.test>\r\n"},
        {"silent after the end of data", 4, "\r\n.\r\n"},
    };
    for (const Case& c : cases) {
        FakeHost host; // one delivery to two recipients whose server goes silent alike
        const uint32_t start = host.now;
        for (int recipient = 0; recipient < 2; ++recipient) {
            MailRun run(host);
            run.socket.replies.resize(c.answered);
            run.Send(host);
            EXPECT_TRUE(EndsWith(run.socket.written, c.lastText)) << c.name << ": no QUIT after the silence";
        }
        EXPECT_EQ(host.now - start, 2 * kStepTimeoutMs) << c.name << ": one minute each";
        EXPECT_EQ(host.networkFailures, 1) << c.name;
    }
}

namespace {
// A name lookup that answers once the host's clock has reached answersAtMs.
class FakeLookup : public HostLookup {
public:
    FakeLookup(FakeHost& host, uint32_t answersAtMs) : host_(host), answersAtMs_(answersAtMs) {}
    Readiness WaitDone(uint32_t sliceMs) override
    {
        if (host_.now >= answersAtMs_)
            return Readiness::Ready;
        host_.now += sliceMs;
        return Readiness::NotYet;
    }

private:
    FakeHost& host_;
    uint32_t answersAtMs_;
};
} // namespace

TEST(NameLookup, IsBoundedLikeEveryStepAndStopsForADeletedJob)
{
    const struct {
        const char* name;
        uint32_t answersAfterMs;
        int abortAtPoll;
        bool taken;
        uint32_t waitedMs;
    } cases[] = {
        {"an answer within the minute is taken", 1500, 0, true, 1500},
        {"a name server that never answers is cut off after 60 seconds", 10 * kStepTimeoutMs, 0, false,
         kStepTimeoutMs},
        {"a deleted job stops the wait at its next poll", 10 * kStepTimeoutMs, 3, false, 3 * kWaitSliceMs},
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.abortAtPoll = c.abortAtPoll;
        const uint32_t start = host.now;
        FakeLookup lookup(host, start + c.answersAfterMs);
        EXPECT_EQ(WaitForLookup(lookup, host), c.taken) << c.name;
        EXPECT_EQ(host.now - start, c.waitedMs) << c.name;
    }
}
