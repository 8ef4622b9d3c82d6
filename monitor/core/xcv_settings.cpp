#include "monitor/core/xcv_settings.h"

#include "monitor/core/block_fields.h"
#include "monitor/core/stored_numbers.h"

#include <cstring>

namespace {
constexpr size_t kHeaderBytes = 16;
constexpr NumberRange kSecurityRange{0, 2};   // none, STARTTLS, TLS from the first byte
constexpr NumberRange kSmtpPortRange{0, 65535}; // 0: the mode's usual port
constexpr NumberRange kAnyNumber{0, UINT32_MAX};
constexpr size_t kFingerprintDigits = 64;

// Longest text of each field, as the settings load accepts it.
constexpr size_t kMaxPortName = kXcvPortNameUnits - 1;
constexpr size_t kMaxServAddr = 13002;
constexpr size_t kMaxAddress = 128;
constexpr size_t kMaxNotifyAddr = 129;
constexpr size_t kMaxServName = kXcvServNameUnits - 1;

// The fields in block order; the writer, the reader and the layout share this one list.
template <typename Settings, typename Visitor> constexpr void VisitFields(Settings& s, Visitor& v)
{
    v.Text(s.PortName, kMaxPortName);
    v.Text(s.ServAddr, kMaxServAddr);
    v.Text(s.SMTPAddr, kMaxAddress);
    v.Text(s.UserAddr, kMaxAddress);
    v.Text(s.ServName, kMaxServName);
    v.Text(s.NotifyAddr, kMaxNotifyAddr);
    v.Number(s.Notification, kNotificationRange);
    v.Number(s.ShowSw, kSwitchRange);
    v.Number(s.PartLimit, kAnyNumber); // checked with PartSw below
    v.Number(s.PartSw, kSwitchRange);
    v.Number(s.CheckMailSw, kSwitchRange);
    v.Number(s.SMTPSecurity, kSecurityRange);
    v.Number(s.SMTPPort, kSmtpPortRange);
    v.Text(s.SMTPUser, kMaxAddress);
    v.Text(s.SMTPCertSHA256, kFingerprintDigits);
    v.Action(s.passwordAction);
    v.Number(s.passwordBytes, NumberRange{0, kXcvPasswordBytes});
    v.Bytes(s.password, kXcvPasswordBytes);
}

class Writer {
public:
    explicit Writer(uint8_t* out) : at_(out + kHeaderBytes) {}
    template <size_t Units> void Text(const char16_t (&field)[Units], size_t /*maxChars*/)
    {
        PutTextField(at_, field, Units);
        at_ += 2 * Units;
    }
    void Number(uint32_t value, NumberRange /*range*/)
    {
        PutLittleEndian32(at_, value);
        at_ += 4;
    }
    void Action(PasswordAction action) { Number(static_cast<uint32_t>(action), kAnyNumber); }
    void Bytes(const uint8_t* bytes, size_t count)
    {
        std::memcpy(at_, bytes, count);
        at_ += count;
    }

private:
    uint8_t* at_;
};

class Reader {
public:
    explicit Reader(const uint8_t* data) : at_(data + kHeaderBytes) {}
    template <size_t Units> void Text(char16_t (&field)[Units], size_t maxChars)
    {
        size_t length = Units;
        for (size_t i = 0; i < Units; ++i) {
            field[i] = GetTextUnit(at_, i);
            if (field[i] == u'\0' && length == Units)
                length = i;
            if (length == Units && field[i] < u' ')
                Fail(XcvReadError::Text); // line breaks would reach the mail's header lines
        }
        if (length > maxChars)
            Fail(XcvReadError::Text);
        at_ += 2 * Units;
    }
    void Number(uint32_t& field, NumberRange range)
    {
        field = GetLittleEndian32(at_);
        if (!range.Holds(field))
            Fail(XcvReadError::Number);
        at_ += 4;
    }
    void Action(PasswordAction& action)
    {
        uint32_t value = 0;
        Number(value, kAnyNumber);
        if (value > static_cast<uint32_t>(PasswordAction::Remove))
            Fail(XcvReadError::Password);
        action = static_cast<PasswordAction>(value);
    }
    void Bytes(uint8_t* bytes, size_t count)
    {
        std::memcpy(bytes, at_, count);
        at_ += count;
    }
    void Fail(XcvReadError error)
    {
        if (error_ == XcvReadError::None)
            error_ = error;
    }
    XcvReadError error() const { return error_; }

private:
    const uint8_t* at_;
    XcvReadError error_ = XcvReadError::None;
};

struct Measure {
    template <size_t Units> constexpr void Text(const char16_t (&)[Units], size_t) { bytes += 2 * Units; }
    constexpr void Number(uint32_t, NumberRange) { bytes += 4; }
    constexpr void Action(PasswordAction) { bytes += 4; }
    constexpr void Bytes(const uint8_t*, size_t count) { bytes += count; }
    size_t bytes = kHeaderBytes;
};

constexpr size_t LayoutBytes()
{
    const XcvSettings probe{};
    Measure measure;
    VisitFields(probe, measure);
    return measure.bytes;
}
static_assert(LayoutBytes() == kXcvSettingsBytes, "the field list gives the documented layout");

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

XcvReadError CheckFieldsTogether(XcvSettings* s)
{
    if (!kPartLimitKbRange.Holds(s->PartLimit)) {
        if (s->PartSw == 1)
            return XcvReadError::Number;
        s->PartLimit = kDefaultPartLimitKb;
    }
    size_t digits = 0;
    while (digits < kXcvCertUnits && IsHexDigit(s->SMTPCertSHA256[digits]))
        ++digits;
    if (s->SMTPCertSHA256[digits] != u'\0' || (digits != 0 && digits != kFingerprintDigits))
        return XcvReadError::Text;
    const bool replaces = s->passwordAction == PasswordAction::Replace;
    if (replaces != (s->passwordBytes != 0))
        return XcvReadError::Password;
    return XcvReadError::None;
}
} // namespace

void WriteXcvSettings(const XcvSettings& settings, uint8_t* out)
{
    PutLittleEndian32(out, kXcvSettingsMagic);
    PutLittleEndian32(out + 4, kXcvSettingsVersion);
    PutLittleEndian32(out + 8, static_cast<uint32_t>(kXcvSettingsBytes));
    PutLittleEndian32(out + 12, settings.flags);
    Writer writer(out);
    VisitFields(settings, writer);
}

XcvReadError ReadXcvSettings(const uint8_t* data, size_t size, XcvSettings* settings)
{
    if (data == nullptr || size < kHeaderBytes)
        return XcvReadError::TooShort;
    if (GetLittleEndian32(data) != kXcvSettingsMagic)
        return XcvReadError::NotSettings;
    if (GetLittleEndian32(data + 4) == 0)
        return XcvReadError::Version;
    const uint32_t declared = GetLittleEndian32(data + 8);
    if (declared < kXcvSettingsBytes || declared != size)
        return size < kXcvSettingsBytes ? XcvReadError::TooShort : XcvReadError::Size;
    settings->flags = GetLittleEndian32(data + 12);
    Reader reader(data);
    VisitFields(*settings, reader);
    if (reader.error() != XcvReadError::None)
        return reader.error();
    return CheckFieldsTogether(settings);
}
