#include "monitor/mail/schannel_engine.h"
#include "common/scoped.h"

#include <bcrypt.h>
#include <wincrypt.h>

#include <cstring>

namespace {

constexpr ULONG kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                  ISC_REQ_MANUAL_CRED_VALIDATION;

using ScopedCertificate = Scoped<PCCERT_CONTEXT, CertFreeCertificateContext>;
using ScopedChain = Scoped<PCCERT_CHAIN_CONTEXT, CertFreeCertificateChain>;
void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm)
{
    BCryptCloseAlgorithmProvider(algorithm, 0);
}

using ScopedAlgorithm = Scoped<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using ScopedHash = Scoped<BCRYPT_HASH_HANDLE, BCryptDestroyHash>;

bool Sha256(const BYTE* data, DWORD length, uint8_t out[kSha256Bytes])
{
    ScopedAlgorithm algorithm;
    ScopedHash hash;
    return BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.Out(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
           BCRYPT_SUCCESS(BCryptCreateHash(algorithm.Get(), hash.Out(), nullptr, 0, nullptr, 0, 0)) &&
           BCRYPT_SUCCESS(BCryptHashData(hash.Get(), const_cast<BYTE*>(data), length, 0)) &&
           BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), out, kSha256Bytes, 0));
}

// Copies a token SChannel allocated into the caller's buffer and frees it.
bool TakeToken(SecBuffer& token, char* output, size_t capacity, size_t* length)
{
    *length = 0;
    if (token.pvBuffer == nullptr)
        return true;
    const bool fits = token.cbBuffer <= capacity;
    if (fits) {
        std::memcpy(output, token.pvBuffer, token.cbBuffer);
        *length = token.cbBuffer;
    }
    FreeContextBuffer(token.pvBuffer);
    return fits;
}

size_t ExtraBytes(const SecBuffer& buffer)
{
    return buffer.BufferType == SECBUFFER_EXTRA ? buffer.cbBuffer : 0;
}

} // namespace

SChannelEngine::SChannelEngine(const WCHAR* serverName, const uint8_t* pin) : pinned_(pin != nullptr)
{
    lstrcpynW(server_, serverName, ARRAYSIZE(server_));
    if (pinned_)
        std::memcpy(pin_, pin, sizeof pin_);
}

SChannelEngine::~SChannelEngine()
{
    if (haveContext_)
        DeleteSecurityContext(&context_);
    if (haveCredentials_)
        FreeCredentialsHandle(&credentials_);
}

bool SChannelEngine::AcquireCredentials()
{
    SCHANNEL_CRED credentials{};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    // The certificate is checked by CheckCertificate, on every platform alike.
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    haveCredentials_ = AcquireCredentialsHandleW(nullptr, const_cast<WCHAR*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                 nullptr, &credentials, nullptr, nullptr, &credentials_,
                                                 &expiry) == SEC_E_OK;
    return haveCredentials_;
}

TlsResult SChannelEngine::HandshakeStep(const char* input, size_t inputLength, size_t* consumed, char* output,
                                        size_t outputCapacity, size_t* outputLength)
{
    if (!haveCredentials_ && !AcquireCredentials())
        return TlsResult::Failed;
    SecBuffer in[2] = {{static_cast<ULONG>(inputLength), SECBUFFER_TOKEN, const_cast<char*>(input)},
                       {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDescription{SECBUFFER_VERSION, 2, in};
    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDescription{SECBUFFER_VERSION, 1, out};
    ULONG attributes = 0;
    const bool first = !haveContext_;
    const SECURITY_STATUS status = InitializeSecurityContextW(
        &credentials_, first ? nullptr : &context_, server_, kContextRequest, 0, 0, first ? nullptr : &inDescription,
        0, &context_, &outDescription, &attributes, nullptr);
    haveContext_ = haveContext_ || status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK;
    if (!TakeToken(out[0], output, outputCapacity, outputLength))
        return TlsResult::Failed;
    switch (status) {
    case SEC_E_INCOMPLETE_MESSAGE:
        return TlsResult::NeedMore;
    case SEC_I_INCOMPLETE_CREDENTIALS: // a server asking for a client certificate gets none
        return TlsResult::Continue;
    case SEC_I_CONTINUE_NEEDED:
        *consumed = first ? 0 : inputLength - ExtraBytes(in[1]);
        return TlsResult::Continue;
    case SEC_E_OK:
        *consumed = inputLength - ExtraBytes(in[1]);
        return QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) == SEC_E_OK ? TlsResult::Done
                                                                                                : TlsResult::Failed;
    default:
        return TlsResult::Failed;
    }
}

CertificateVerdict SChannelEngine::CheckCertificate()
{
    ScopedCertificate certificate;
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, certificate.Out()) != SEC_E_OK ||
        !certificate)
        return CertificateVerdict::Untrusted;
    if (!pinned_)
        return CheckChain(certificate.Get());
    uint8_t fingerprint[kSha256Bytes];
    const bool matches = Sha256(certificate.Get()->pbCertEncoded, certificate.Get()->cbCertEncoded, fingerprint) &&
                         std::memcmp(fingerprint, pin_, sizeof pin_) == 0;
    return matches ? CertificateVerdict::Accepted : CertificateVerdict::NotPinned;
}

CertificateVerdict SChannelEngine::CheckChain(PCCERT_CONTEXT certificate)
{
    LPSTR serverUsage = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = &serverUsage;
    ScopedChain chain;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                                 chain.Out()))
        return CertificateVerdict::Untrusted;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = server_;
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.Get(), &policy, &status))
        return CertificateVerdict::Untrusted;
    return VerdictForChain(static_cast<uint32_t>(status.dwError), chain.Get()->TrustStatus.dwErrorStatus);
}

bool SChannelEngine::Encrypt(const char* plain, size_t length, char* out, size_t capacity, size_t* outLength)
{
    const size_t header = sizes_.cbHeader;
    if (length > sizes_.cbMaximumMessage || header + length + sizes_.cbTrailer > capacity)
        return false;
    std::memcpy(out + header, plain, length);
    SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, out},
                            {static_cast<ULONG>(length), SECBUFFER_DATA, out + header},
                            {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, out + header + length},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    if (EncryptMessage(&context_, 0, &description, 0) != SEC_E_OK)
        return false;
    *outLength = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    return true;
}

TlsResult SChannelEngine::Decrypt(char* data, size_t length, size_t* consumed, char** plain, size_t* plainLength)
{
    SecBuffer buffers[4] = {{static_cast<ULONG>(length), SECBUFFER_DATA, data},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE)
        return TlsResult::NeedMore;
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED)
        return TlsResult::Failed;
    size_t extra = 0;
    *plain = data;
    *plainLength = 0;
    for (const SecBuffer& buffer : buffers) {
        if (buffer.BufferType == SECBUFFER_DATA) {
            *plain = static_cast<char*>(buffer.pvBuffer);
            *plainLength = buffer.cbBuffer;
        }
        extra += ExtraBytes(buffer);
    }
    *consumed = length - extra;
    if (status == SEC_I_CONTEXT_EXPIRED)
        return TlsResult::Closed;
    return status == SEC_I_RENEGOTIATE ? TlsResult::Renegotiate : TlsResult::Done;
}
