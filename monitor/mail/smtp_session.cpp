#include "monitor/mail/smtp_session.h"

namespace {

uint32_t ElapsedSince(SessionHost& host, uint32_t startMs)
{
    return host.NowMs() - startMs; // unsigned: right across the clock's wrap-around
}

// The connection is given up; the failure is reported unless the job was deleted (a job
// deleted by the user produces no error boxes for the steps it cut short).
void Fail(SmtpSocket& socket, SessionHost& host)
{
    socket.GiveUp();
    if (!host.SendAborted())
        host.ReportNetworkFailure();
}

bool WriteAll(SmtpSocket& socket, SessionHost& host, const char* text, size_t length)
{
    // Once the job is deleted nothing more goes out, not even the end of the data: the server
    // must not take a cut-short mail for a whole one.
    if (host.SendAborted() || host.PollJobWhenDue())
        return false;
    return WriteWithin(socket, host, text, length, true);
}

enum class ReplyOutcome { Accepted, Transient, Refused, Failed };

// Reads one whole reply as one step. Bytes that follow its last line in the same receive
// are dropped: a server speaks only when spoken to.
ReplyOutcome ReceiveReply(SmtpSocket& socket, SessionHost& host, SmtpReply& reply,
                          EhloCapabilities* capabilities = nullptr)
{
    reply.Reset();
    if (capabilities != nullptr)
        capabilities->Reset();
    const uint32_t start = host.NowMs();
    char chunk[kReplyTextCapacity];
    while (!reply.Complete()) {
        size_t received = 0;
        const IoStatus status = socket.TryReceive(chunk, sizeof chunk, &received);
        const bool ready = status == IoStatus::Done && received > 0;
        if (ready) {
            const size_t taken = reply.Feed(chunk, received);
            if (capabilities != nullptr)
                capabilities->Feed(chunk, taken);
        }
        else if (status != IoStatus::WouldBlock ||
                 WaitForStep(socket, host, StepDirection::Receive, start) != StepOutcome::Ready)
            break;
        if (reply.Overlong())
            break;
    }
    if (!reply.Complete()) {
        Fail(socket, host);
        return ReplyOutcome::Failed;
    }
    switch (reply.Kind()) {
    case ReplyKind::Transient:
        return ReplyOutcome::Transient;
    case ReplyKind::Refused:
        return ReplyOutcome::Refused;
    default:
        return ReplyOutcome::Accepted;
    }
}

} // namespace

bool WriteWithin(SmtpSocket& socket, SessionHost& host, const char* data, size_t length, bool pollWhileMoving)
{
    uint32_t progressMs = host.NowMs();
    size_t written = 0;
    while (written < length) {
        size_t sent = 0;
        const IoStatus status = socket.TrySend(data + written, length - written, &sent);
        if (status == IoStatus::Done && sent > 0) {
            written += sent;
            progressMs = host.NowMs();
            if (pollWhileMoving && written < length && host.PollJobWhenDue())
                return false;
            continue;
        }
        if (status != IoStatus::Done && status != IoStatus::WouldBlock)
            return false;
        if (WaitForStep(socket, host, StepDirection::Send, progressMs) != StepOutcome::Ready)
            return false;
    }
    return true;
}

void SessionHost::ReportNetworkFailure()
{
    if (failureShown_)
        return;
    failureShown_ = true;
    ShowNetworkFailure();
}

bool SessionHost::PollJob()
{
    polled_ = true;
    lastPollMs_ = NowMs();
    return PollForAbort();
}

bool SessionHost::PollJobWhenDue()
{
    if (!polled_) {
        polled_ = true;
        lastPollMs_ = NowMs();
        return false;
    }
    if (NowMs() - lastPollMs_ < kTransferPollMs)
        return false;
    return PollJob();
}

namespace {
// The wait of every step: slices of at most kWaitSliceMs, the job polled after each, until the
// step is ready or its 60 seconds from startMs have passed.
template <typename WaitSlice>
StepOutcome WaitInSlices(SessionHost& host, uint32_t startMs, WaitSlice waitSlice)
{
    for (;;) {
        const uint32_t elapsed = ElapsedSince(host, startMs);
        if (elapsed >= kStepTimeoutMs)
            return StepOutcome::TimedOut;
        const uint32_t left = kStepTimeoutMs - elapsed;
        const Readiness readiness = waitSlice(left < kWaitSliceMs ? left : kWaitSliceMs);
        if (readiness == Readiness::Ready)
            return StepOutcome::Ready;
        if (readiness == Readiness::Failed)
            return StepOutcome::Failed;
        if (host.PollJob())
            return StepOutcome::Aborted;
    }
}
} // namespace

StepOutcome WaitForStep(SmtpSocket& socket, SessionHost& host, StepDirection direction, uint32_t startMs)
{
    return WaitInSlices(host, startMs, [&](uint32_t sliceMs) { return socket.WaitReady(direction, sliceMs); });
}

bool WaitForLookup(HostLookup& lookup, SessionHost& host)
{
    const uint32_t start = host.NowMs();
    return WaitInSlices(host, start, [&](uint32_t sliceMs) { return lookup.WaitDone(sliceMs); }) ==
           StepOutcome::Ready;
}

bool SendSmtpText(SmtpSocket& socket, SessionHost& host, const char* text, size_t length)
{
    if (socket.GivenUp())
        return false; // reported when it was given up
    if (WriteAll(socket, host, text, length))
        return true;
    Fail(socket, host);
    return false;
}

bool SendSmtpCommand(SmtpSocket& socket, SessionHost& host, const char* text, size_t length,
                     EhloCapabilities* capabilities)
{
    SmtpReply reply;
    for (int attempt = 1;; ++attempt) {
        if (!SendSmtpText(socket, host, text, length))
            return false;
        const ReplyOutcome outcome = ReceiveReply(socket, host, reply, capabilities);
        if (outcome == ReplyOutcome::Accepted)
            return true;
        if (outcome == ReplyOutcome::Failed)
            return false;
        if (outcome == ReplyOutcome::Refused || attempt == kMaxAttempts) {
            host.ShowRefusal(reply.Text());
            return false;
        }
    }
}

bool ExchangeSmtpText(SmtpSocket& socket, SessionHost& host, const char* text, size_t length, SmtpReply& reply)
{
    return SendSmtpText(socket, host, text, length) && ReceiveReply(socket, host, reply) != ReplyOutcome::Failed;
}

bool ConnectSmtpServer(SmtpConnector& connector, SessionHost& host)
{
    SmtpReply greeting;
    for (int attempt = 1;; ++attempt) {
        if (!connector.Open())
            return false;
        const ReplyOutcome outcome = ReceiveReply(connector.Socket(), host, greeting);
        if (outcome == ReplyOutcome::Accepted)
            return true;
        if (outcome == ReplyOutcome::Refused || (outcome == ReplyOutcome::Transient && attempt == kMaxAttempts))
            host.ShowRefusal(greeting.Text());
        connector.Close();
        if (outcome != ReplyOutcome::Transient || attempt == kMaxAttempts)
            return false;
    }
}
