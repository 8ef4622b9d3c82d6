#pragma once
#include "monitor/mail/ehlo_capabilities.h"
#include "monitor/mail/smtp_reply.h"
#include <cstddef>
#include <cstdint>

// The SMTP dialogue over one connection, independent of the socket layer: every blocking step
// (the connect, the writing of one text, the reading of one reply) is bounded by 60 seconds;
// while a step waits, the job is watched so that a deleted or failed job cuts it short.

constexpr uint32_t kStepTimeoutMs = 60000;
constexpr uint32_t kWaitSliceMs = 50;   // how often the job is polled while a step waits
// How often a transfer that never has to wait looks at the job: each look costs a spooler call,
// so less often than a wait does.
constexpr uint32_t kTransferPollMs = 500;
constexpr int kMaxAttempts = 4;         // a "4" reply is retried three times

enum class StepDirection { Connect, Send, Receive };
enum class Readiness { Ready, NotYet, Failed };
enum class IoStatus { Done, WouldBlock, Closed, Failed };

// One connected non-blocking socket.
class SmtpSocket {
public:
    virtual IoStatus TrySend(const char* data, size_t length, size_t* sent) = 0;
    virtual IoStatus TryReceive(char* buffer, size_t capacity, size_t* received) = 0;
    // Waits at most sliceMs for the socket to be ready for the step.
    virtual Readiness WaitReady(StepDirection direction, uint32_t sliceMs) = 0;

    // Once a write or a receive has failed or timed out, nothing more is written on the
    // connection, not even "QUIT": a server that has gone silent would only make every later
    // step wait its 60 seconds again. The caller closes it.
    bool GivenUp() const { return givenUp_; }
    void GiveUp() { givenUp_ = true; }

protected:
    ~SmtpSocket() = default;
    void Renew() { givenUp_ = false; } // the object now holds a new connection

private:
    bool givenUp_ = false;
};

// What the dialogue needs from the monitor around it.
class SessionHost {
public:
    virtual uint32_t NowMs() = 0;
    // Polls the job and dispatches the thread's window messages. True when the job is deleted
    // or failed; the send-abort flag is then set.
    virtual bool PollForAbort() = 0;
    virtual bool SendAborted() = 0;
    virtual void ShowNetworkFailure() = 0;            // a write or a receive failed
    virtual void ShowRefusal(const char* reply) = 0;  // the server refused

    // ShowNetworkFailure, at most once for the host's life (one delivery): ten silent servers
    // make one box, not ten.
    void ReportNetworkFailure();

    // PollForAbort, noting when: a wait polls every slice through it.
    bool PollJob();
    // PollJob once kTransferPollMs have passed since the last poll (the first call only starts
    // the count): a transfer to a server fast enough that it never waits still stops soon after
    // the job is deleted.
    bool PollJobWhenDue();

protected:
    ~SessionHost() = default;

private:
    bool polled_ = false;
    uint32_t lastPollMs_ = 0;
    bool failureShown_ = false;
};

// Makes connections to the configured server for ConnectSmtpServer.
class SmtpConnector {
public:
    // Resolves, creates a socket and connects; reports its own failures.
    virtual bool Open() = 0;
    virtual SmtpSocket& Socket() = 0;
    virtual void Close() = 0;

protected:
    ~SmtpConnector() = default;
};

enum class StepOutcome { Ready, TimedOut, Aborted, Failed };

// A name lookup running beside the session (the platform's lookup call may never return when a
// name server does not answer).
class HostLookup {
public:
    // Waits at most sliceMs for the lookup to end.
    virtual Readiness WaitDone(uint32_t sliceMs) = 0;

protected:
    ~HostLookup() = default;
};

// Waits for the lookup like for any network step: true when it ended within 60 seconds and the
// job was neither deleted nor failed meanwhile.
bool WaitForLookup(HostLookup& lookup, SessionHost& host);

// Waits until the socket is ready for the step that began at startMs, the job is found
// deleted or failed, or the step's 60 seconds have passed.
StepOutcome WaitForStep(SmtpSocket& socket, SessionHost& host, StepDirection direction, uint32_t startMs);

// Writes all the bytes, each wait bounded by 60 seconds from the last byte the socket took and
// the job watched while it waits; pollWhileMoving also looks at the job between sends that never
// wait. Reports nothing: the caller does.
bool WriteWithin(SmtpSocket& socket, SessionHost& host, const char* data, size_t length, bool pollWhileMoving);

// Writes the whole text, the rest of it after a partial send too. The step's 60 seconds run
// from the last byte the server took: a large write to a slow reader goes on as long as it
// moves, a server that stops reading is cut off 60 seconds after it took its last byte.
// A failure is reported unless the send-abort flag is set, and gives the connection up.
bool SendSmtpText(SmtpSocket& socket, SessionHost& host, const char* text, size_t length);

// Writes the text and reads the whole reply; a "4" reply is answered by writing the text
// again, at most four times in all. True when the reply is acceptable. Capabilities, when
// given, are read from the last reply (the one to "EHLO").
bool SendSmtpCommand(SmtpSocket& socket, SessionHost& host, const char* text, size_t length,
                     EhloCapabilities* capabilities = nullptr);

// Writes the text and reads one whole reply, without retrying and without showing a refusal:
// the caller judges the reply. False when the write or the receive failed (reported as always).
bool ExchangeSmtpText(SmtpSocket& socket, SessionHost& host, const char* text, size_t length, SmtpReply& reply);

// Connects and reads the greeting; a "4" greeting is answered by connecting again, at most
// four times in all. True when the connector's socket is connected and greeted; otherwise
// it is closed.
bool ConnectSmtpServer(SmtpConnector& connector, SessionHost& host);
