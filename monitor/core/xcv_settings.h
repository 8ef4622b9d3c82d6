#pragma once
#include <cstddef>
#include <cstdint>

// One port's settings as they travel through XcvData between the UI library (in the user's
// process) and the monitor (in the spooler): a fixed-width, pointer-free, little-endian block.
// Every text is UTF-16 in a field of fixed width, null-terminated inside it; the rest of the
// field is zero. Layout of version 1, offsets in bytes:
//
//      0  magic "NXS1" (4E 58 53 31)       4  version (1)
//      8  size of the whole block          12 flags (kXcvPasswordStored)
//     16  PortName        32 units        80  ServAddr     13004 units
//  26088  SMTPAddr       130 units     26348  UserAddr       130 units
//  26608  ServName        32 units     26672  NotifyAddr     130 units
//  26932  Notification, ShowSw, PartLimit, PartSw, CheckMailSw (5 x 4 bytes)
//  26952  SMTPSecurity, SMTPPort (2 x 4 bytes)
//  26960  SMTPUser       130 units     27220  SMTPCertSHA256  66 units
//  27352  PasswordAction, PasswordBytes (2 x 4 bytes)
//  27360  Password      1024 bytes     28384  end
//
// The password never travels in clear: the UI library sends it already protected by the
// system's data protection (PasswordAction 1 with the protected bytes), asks to keep the stored
// one (0) or to remove it (2); the monitor never sends it back, only the flag
// kXcvPasswordStored. A later version appends fields and raises the version; a reader of
// version 1 reads the first 28384 bytes of a block of any later version.

constexpr uint32_t kXcvSettingsMagic = 0x3153584E; // "NXS1" as bytes
constexpr uint32_t kXcvSettingsVersion = 1;
constexpr uint32_t kXcvPasswordStored = 0x1;

// Field widths in UTF-16 units, terminator included.
constexpr size_t kXcvPortNameUnits = 32;
constexpr size_t kXcvServAddrUnits = 13004;
constexpr size_t kXcvAddressUnits = 130; // SMTPAddr, UserAddr, NotifyAddr, SMTPUser
constexpr size_t kXcvServNameUnits = 32;
constexpr size_t kXcvCertUnits = 66;
constexpr size_t kXcvPasswordBytes = 1024;

enum class PasswordAction : uint32_t { Keep = 0, Replace = 1, Remove = 2 };

struct XcvSettings {
    uint32_t flags = 0;
    char16_t PortName[kXcvPortNameUnits] = {};
    char16_t ServAddr[kXcvServAddrUnits] = {};
    char16_t SMTPAddr[kXcvAddressUnits] = {};
    char16_t UserAddr[kXcvAddressUnits] = {};
    char16_t ServName[kXcvServNameUnits] = {};
    char16_t NotifyAddr[kXcvAddressUnits] = {};
    uint32_t Notification = 0;
    uint32_t ShowSw = 1;
    uint32_t PartLimit = 1024;
    uint32_t PartSw = 0;
    uint32_t CheckMailSw = 1;
    uint32_t SMTPSecurity = 0;
    uint32_t SMTPPort = 0;
    char16_t SMTPUser[kXcvAddressUnits] = {};
    char16_t SMTPCertSHA256[kXcvCertUnits] = {};
    PasswordAction passwordAction = PasswordAction::Keep;
    uint32_t passwordBytes = 0;
    uint8_t password[kXcvPasswordBytes] = {};
};

constexpr size_t kXcvSettingsBytes = 28384;

enum class XcvReadError {
    None,
    TooShort,   // smaller than the header or than its own size field says
    NotSettings,// wrong magic
    Version,    // version 0
    Size,       // size field smaller than version 1's block, or other than the bytes given
    Text,       // a text without terminator in its field, too long, or with a control character
    Number,     // a number outside what the configuration dialog stores
    Password,   // an unknown action, or protected bytes beyond the field or without action 1
};

// Writes the block into out, which holds at least kXcvSettingsBytes bytes.
void WriteXcvSettings(const XcvSettings& settings, uint8_t* out);

// Reads and checks a block of size bytes; reads nothing beyond them. The checks are those of the
// configuration dialog and the settings load: text lengths, no control characters, numbers in
// their ranges (a part size outside its range is taken as the default while parts are off, as
// the load does), the security mode 0-2, a port 0-65535, a fingerprint empty or 64 hexadecimal
// digits. On an error *settings is unspecified.
XcvReadError ReadXcvSettings(const uint8_t* data, size_t size, XcvSettings* settings);
