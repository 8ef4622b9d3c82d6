#pragma once
#include "monitor/mail/secure_session.h"
#include "monitor/mail/smtp_session.h"
#include <cstddef>

// TLS over a connected socket: the handshake and the records, driven through a TLS engine (the
// platform's SSPI on Windows). Every read and write on the way is a bounded step like any other
// of the session: 60 seconds, the job watched while it waits.

enum class TlsResult { Done, Continue, NeedMore, Closed, Renegotiate, Failed };

class TlsEngine {
public:
    // One round of the handshake over what the server has sent so far (nothing on the first
    // round). consumed: the input bytes used; output: what goes to the server now. Done: the
    // handshake is complete; Continue: another round; NeedMore: the input ends within a message.
    virtual TlsResult HandshakeStep(const char* input, size_t inputLength, size_t* consumed, char* output,
                                    size_t outputCapacity, size_t* outputLength) = 0;
    virtual CertificateVerdict CheckCertificate() = 0;
    // The most plain bytes one record carries, once the handshake is done.
    virtual size_t MaxRecordPlainBytes() = 0;
    virtual bool Encrypt(const char* plain, size_t length, char* out, size_t capacity, size_t* outLength) = 0;
    // Decrypts the first record of data in place: the plain bytes lie within data. Done, NeedMore,
    // Closed (the server ended TLS), Renegotiate (handshake messages follow) or Failed.
    virtual TlsResult Decrypt(char* data, size_t length, size_t* consumed, char** plain, size_t* plainLength) = 0;

protected:
    ~TlsEngine() = default;
};

constexpr size_t kTlsInputCapacity = 64 * 1024;  // a server's handshake flight, or records
constexpr size_t kTlsOutputCapacity = 4 * (16 * 1024 + 512); // four records of the largest size, or a token
constexpr size_t kTlsPlainCapacity = 16 * 1024 + 1024;

class TlsChannel : public SmtpSocket, public SecureChannel {
public:
    TlsChannel(SmtpSocket& raw, SessionHost& host, TlsEngine& engine, SecureReporter& reporter)
        : raw_(raw), host_(host), engine_(engine), reporter_(reporter)
    {
    }
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    bool Handshake() override;
    SmtpSocket& Socket() override { return *this; }

    IoStatus TrySend(const char* data, size_t length, size_t* sent) override;
    IoStatus TryReceive(char* buffer, size_t capacity, size_t* received) override;
    Readiness WaitReady(StepDirection direction, uint32_t sliceMs) override;

private:
    bool HandshakeRounds();
    bool ReadRaw();                             // one receive more into the input, bounded
    bool WriteRaw(const char* data, size_t length); // all of it, bounded
    void DropInput(size_t count);
    IoStatus DecryptBuffered();

    SmtpSocket& raw_;
    SessionHost& host_;
    TlsEngine& engine_;
    SecureReporter& reporter_;
    bool up_ = false;
    char input_[kTlsInputCapacity];
    size_t inputLength_ = 0;
    char output_[kTlsOutputCapacity];
    char plain_[kTlsPlainCapacity];
    size_t plainStart_ = 0;
    size_t plainLength_ = 0;
};
