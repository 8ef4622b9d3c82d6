#pragma once
#define SECURITY_WIN32
#include <windows.h>
#include <sspi.h>
#include <schannel.h>

#include "monitor/mail/tls_channel.h"

// TLS 1.2 or later through the platform's own SChannel (SSPI). The certificate is validated
// here, never by SChannel alone: its chain to a trusted root with the SSL policy and the server's
// name, or else its SHA-256 fingerprint against the pinned one.
class SChannelEngine : public TlsEngine {
public:
    // pin: the pinned fingerprint, or null for the chain check. Both are copied.
    SChannelEngine(const WCHAR* serverName, const uint8_t* pin);
    ~SChannelEngine();
    SChannelEngine(const SChannelEngine&) = delete;
    SChannelEngine& operator=(const SChannelEngine&) = delete;

    TlsResult HandshakeStep(const char* input, size_t inputLength, size_t* consumed, char* output,
                            size_t outputCapacity, size_t* outputLength) override;
    CertificateVerdict CheckCertificate() override;
    size_t MaxRecordPlainBytes() override { return sizes_.cbMaximumMessage; }
    bool Encrypt(const char* plain, size_t length, char* out, size_t capacity, size_t* outLength) override;
    TlsResult Decrypt(char* data, size_t length, size_t* consumed, char** plain, size_t* plainLength) override;

private:
    bool AcquireCredentials();
    CertificateVerdict CheckChain(PCCERT_CONTEXT certificate);

    WCHAR server_[129];
    bool pinned_;
    uint8_t pin_[kSha256Bytes];
    CredHandle credentials_{};
    bool haveCredentials_ = false;
    CtxtHandle context_{};
    bool haveContext_ = false;
    SecPkgContext_StreamSizes sizes_{};
};
