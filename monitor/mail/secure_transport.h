#pragma once
#include "monitor/mail/print_job_mail.h"
#include "monitor/mail/schannel_engine.h"
#include "monitor/mail/winsock_transport.h"

#include <memory>

// The secure modes on Windows: connections with SChannel's TLS over WinSock, and the messages
// that tell the user why a secure connection was given up.

// The server's secure settings, checked once for a delivery.
struct SecureSettings {
    SmtpSecurity mode = SmtpSecurity::None;
    u_short port = 0;
    bool pinned = false;
    uint8_t pin[kSha256Bytes] = {};
};

// False, after the message, when the stored values are not valid: the port then mails nothing.
bool ReadSecureSettings(const MailServer& server, MessageTarget& messages, SecureSettings* secure);

class SecureDeliveryReporter : public SecureReporter {
public:
    SecureDeliveryReporter(const MailServer& server, MessageTarget& messages) : server_(server), messages_(messages) {}
    void ShowSecureFailure(SecureFailure failure, const char* reply, uint64_t limitBytes, uint64_t mailBytes) override;
    void ShowCertificateRefused(CertificateVerdict verdict) override;

private:
    void ShowServerMessage(UINT textId);

    const MailServer& server_;
    MessageTarget& messages_;
};

// Connections whose TLS starts with the first byte (implicit TLS) or on request (STARTTLS).
class SecureConnector : public SmtpConnector {
public:
    SecureConnector(const MailServer& server, const SecureSettings& secure, DeliveryHost& host,
                    SecureReporter& reporter);

    bool Open() override;
    SmtpSocket& Socket() override;
    void Close() override;
    // The connection's TLS, made anew with every Open.
    SecureChannel& Channel() { return *channel_; }

private:
    const MailServer& server_;
    const SecureSettings& secure_;
    DeliveryHost& host_;
    SecureReporter& reporter_;
    WinSockConnector raw_;
    std::unique_ptr<SChannelEngine> engine_;
    std::unique_ptr<TlsChannel> channel_;
};
