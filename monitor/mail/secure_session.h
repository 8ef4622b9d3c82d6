#pragma once
#include "monitor/mail/smtp_security.h"
#include "monitor/mail/smtp_session.h"
#include <cstdint>

// The opening of a dialogue in the secure modes, between the greeting and "MAIL FROM": "EHLO",
// "STARTTLS" and the handshake where the mode asks for it, "EHLO" again, the login, and the
// server's size limit. Nothing goes on in clear past "STARTTLS", and a login only ever goes
// over the encrypted connection.

enum class SecureFailure {
    StartTlsNotOffered,
    StartTlsRefused, // the server's reply comes with it
    LoginNotOffered, // a user is set, the server offers neither PLAIN nor LOGIN
    LoginRefused,    // the server's reply comes with it
    TooLarge,        // the mail is larger than the server's limit
    Handshake,       // the TLS handshake failed or the server went silent during it
};

// TLS over the connection as it stands, with the server's certificate checked.
class SecureChannel {
public:
    // Reports its own failures (handshake, certificate). True when the channel is up.
    virtual bool Handshake() = 0;
    // The encrypted connection; used only once Handshake has succeeded.
    virtual SmtpSocket& Socket() = 0;

protected:
    ~SecureChannel() = default;
};

class SecureReporter {
public:
    // reply: the server's reply for a refusal, else empty. For TooLarge, the limit and the mail's
    // size in bytes.
    virtual void ShowSecureFailure(SecureFailure failure, const char* reply, uint64_t limitBytes,
                                   uint64_t mailBytes) = 0;
    virtual void ShowCertificateRefused(CertificateVerdict verdict) = 0;

protected:
    ~SecureReporter() = default;
};

struct SecureOpening {
    SmtpSecurity mode;      // StartTls or ImplicitTls
    const char* clientName; // the argument of "EHLO"
    const char* user;       // UTF-8; empty: no login
    const char* password;   // UTF-8
    uint64_t mailBytes;     // what the message takes on the wire
};

// connection is the greeted connection: in clear for STARTTLS, the channel's own for implicit TLS.
// Returns the connection the mail goes on over, always the encrypted one, or null: the reason
// has been shown and nothing more may be written on the connection.
SmtpSocket* OpenSecureSession(const SecureOpening& opening, SmtpSocket& connection, SecureChannel& channel,
                              SessionHost& host, SecureReporter& reporter);

// Overwrites a secret so that it does not outlive its use in memory.
void WipeSecret(void* data, size_t length);
