#pragma once
#include <winsock2.h>
#include "common/scoped.h"
#include "monitor/mail/print_job_mail.h"
#include "monitor/mail/smtp_session.h"

// The SMTP session on Windows Sockets: non-blocking sockets waited on with select() in short
// slices, so that every step is bounded and the job is watched while it waits.

// Starts the socket layer (version 1.1) for one delivery and ends it again.
class SocketLayer {
public:
    SocketLayer();
    ~SocketLayer();
    SocketLayer(const SocketLayer&) = delete;
    SocketLayer& operator=(const SocketLayer&) = delete;
    bool started() const { return started_; }

private:
    bool started_;
};

// The monitor around one delivery: the clock, the job watch, the messages.
class DeliveryHost : public SessionHost {
public:
    explicit DeliveryHost(PrintJobWatch& job) : job_(job) {}

    uint32_t NowMs() override;
    bool PollForAbort() override;
    bool SendAborted() override;
    void ShowNetworkFailure() override;
    void ShowRefusal(const char* reply) override;
    // Where the job's messages go.
    MessageTarget& Messages() { return job_.Messages(); }

    // The job's status bits, or 0 when they could not be read (the user has been told, and
    // the job is not polled again during this delivery, so that the message shows once).
    DWORD JobStatus();

private:
    PrintJobWatch& job_;
    bool polling_ = true;
};

using ScopedSocket = Scoped<SOCKET, closesocket, ConstantIsEmpty<INVALID_SOCKET>>;

class WinSockSocket : public SmtpSocket {
public:
    WinSockSocket() = default;
    WinSockSocket(const WinSockSocket&) = delete;
    WinSockSocket& operator=(const WinSockSocket&) = delete;

    bool Create();
    bool StartConnect(const sockaddr_in& address);
    bool ConnectSucceeded();
    void Close();

    IoStatus TrySend(const char* data, size_t length, size_t* sent) override;
    IoStatus TryReceive(char* buffer, size_t capacity, size_t* received) override;
    Readiness WaitReady(StepDirection direction, uint32_t sliceMs) override;

private:
    ScopedSocket socket_;
};

// Connections to the job's SMTP server: a host name or a dotted IPv4 address, on the given
// port, or for port 0 on the port of the service "mail", else 25.
class WinSockConnector : public SmtpConnector {
public:
    WinSockConnector(const MailServer& server, u_short port, DeliveryHost& host)
        : server_(server), port_(port), host_(host)
    {
    }

    bool Open() override;
    SmtpSocket& Socket() override { return socket_; }
    void Close() override { socket_.Close(); }

private:
    bool Resolve(sockaddr_in* address);

    const MailServer& server_;
    u_short port_;
    DeliveryHost& host_;
    WinSockSocket socket_;
};
