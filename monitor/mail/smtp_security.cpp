#include "monitor/mail/smtp_security.h"

namespace {

// Headers, the control part and the boundaries, without the addresses and the subject: what
// every job mail carries besides its attachment.
constexpr uint64_t kFixedMessageBytes = 600;
constexpr uint64_t kBase64LineChars = 75;

// The chain policy's errors, as the platform numbers them.
constexpr uint32_t kCertExpired = 0x800B0101;
constexpr uint32_t kCertNameMismatch = 0x800B010F;
constexpr uint32_t kChainNotTimeValid = 0x1; // CERT_TRUST_IS_NOT_TIME_VALID

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool SecurityFromStored(uint32_t stored, SmtpSecurity* mode)
{
    if (stored > static_cast<uint32_t>(SmtpSecurity::ImplicitTls))
        return false;
    *mode = static_cast<SmtpSecurity>(stored);
    return true;
}

uint16_t ServerPort(SmtpSecurity mode, uint32_t storedPort)
{
    if (storedPort >= 1 && storedPort <= kMaxTcpPort)
        return static_cast<uint16_t>(storedPort);
    switch (mode) {
    case SmtpSecurity::StartTls:
        return kSubmissionPort;
    case SmtpSecurity::ImplicitTls:
        return kImplicitTlsPort;
    default:
        return 0;
    }
}

bool ParseSha256Hex(const char* text, uint8_t out[kSha256Bytes])
{
    for (size_t i = 0; i < kSha256Bytes; ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = high < 0 ? -1 : HexValue(text[2 * i + 1]);
        if (low < 0)
            return false;
        out[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return text[kSha256HexChars] == '\0';
}

uint64_t MessageWireBytes(uint64_t jobBytes)
{
    const uint64_t base64 = (jobBytes + 2) / 3 * 4;
    const uint64_t lines = (base64 + kBase64LineChars - 1) / kBase64LineChars;
    return kFixedMessageBytes + base64 + 2 * lines;
}

CertificateVerdict VerdictForChain(uint32_t policyError, uint32_t chainErrors)
{
    switch (policyError) {
    case 0:
        if (chainErrors == 0)
            return CertificateVerdict::Accepted;
        return (chainErrors & kChainNotTimeValid) != 0 ? CertificateVerdict::Expired : CertificateVerdict::Untrusted;
    case kCertExpired:
        return CertificateVerdict::Expired;
    case kCertNameMismatch:
        return CertificateVerdict::OtherName;
    default:
        return CertificateVerdict::Untrusted; // an unknown root, a broken chain, a revoked certificate
    }
}

uint32_t LargestPartKbWithin(uint64_t limitBytes)
{
    constexpr uint32_t kSmallest = 16;
    constexpr uint32_t kLargest = 16384;
    if (MessageWireBytes(uint64_t{kSmallest} * 1024) > limitBytes)
        return 0;
    uint32_t low = kSmallest; // fits
    uint32_t high = kLargest + 1;
    while (high - low > 1) {
        const uint32_t middle = low + (high - low) / 2;
        if (MessageWireBytes(uint64_t{middle} * 1024) <= limitBytes)
            low = middle;
        else
            high = middle;
    }
    return low;
}
