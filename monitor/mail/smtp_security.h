#pragma once
#include <cstddef>
#include <cstdint>

// How a port reaches its mail server: the security mode and the port number it implies, the
// pinned certificate, and the size a message takes on the wire.

enum class SmtpSecurity : uint32_t {
    None = 0,        // the plain dialogue: "HELO", no encryption, no login
    StartTls = 1,    // "EHLO", then "STARTTLS" is required before anything else
    ImplicitTls = 2, // TLS from the first byte
};

// A stored "SMTPSecurity" that is present but not a 4-byte number: refused like any value
// outside 0 to 2, never read as "none".
constexpr uint32_t kUnreadableSecurity = 0xFFFFFFFFu;
constexpr uint32_t kMaxTcpPort = 65535;
constexpr uint16_t kSubmissionPort = 587;
constexpr uint16_t kImplicitTlsPort = 465;

// False for any stored value other than 0, 1 and 2: such a port mails nothing.
bool SecurityFromStored(uint32_t stored, SmtpSecurity* mode);

// The TCP port to connect to: the stored "SMTPPort" when it is 1 to 65535, otherwise the mode's
// own (587 for STARTTLS, 465 for TLS). In mode none, 0 means the service "mail": the result is 0.
uint16_t ServerPort(SmtpSecurity mode, uint32_t storedPort);

constexpr size_t kSha256Bytes = 32;
constexpr size_t kSha256HexChars = 2 * kSha256Bytes;

// "SMTPCertSHA256": exactly 64 hexadecimal digits, either case. False for anything else.
bool ParseSha256Hex(const char* text, uint8_t out[kSha256Bytes]);

// The bytes the message text of a job file of jobBytes takes on the wire, at least: the
// attachment's base64 lines with their CR LF and the fixed parts around it.
uint64_t MessageWireBytes(uint64_t jobBytes);

// Why a server certificate was refused.
enum class CertificateVerdict { Accepted, Untrusted, Expired, OtherName, NotPinned };

// The verdict on a server certificate: policyError is the error of the platform's SSL chain policy
// (0 when it passed), chainErrors the error bits of the chain it judged. A chain with any error
// is refused even when the policy passed it: a chain that ends without a root is no trusted one.
CertificateVerdict VerdictForChain(uint32_t policyError, uint32_t chainErrors);

// The largest part size in kilobytes (16 to 16384, as the configuration dialog takes it) whose
// mail fits a server limit of limitBytes; 0 when even the smallest part does not.
uint32_t LargestPartKbWithin(uint64_t limitBytes);
