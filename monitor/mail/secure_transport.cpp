#include "monitor/mail/secure_transport.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/text_conversion.h"

#include <new>

namespace {

constexpr int kReplyChars = 1024;

void ShowServerMessage(UINT textId, const PortSettings& settings)
{
    ShowResourceMessage(nullptr, kStyleError, IDS_MESSAGE_CAPTION, textId, settings.SMTPAddr);
}

DWORD Kilobytes(uint64_t bytes)
{
    const uint64_t kb = (bytes + 1023) / 1024;
    return kb > MAXDWORD ? MAXDWORD : static_cast<DWORD>(kb);
}

} // namespace

bool ReadSecureSettings(const PortSettings& settings, SecureSettings* secure)
{
    char pinText[kCertSha256Chars + 2];
    ToAnsiText(settings.SMTPCertSHA256, pinText, sizeof pinText);
    secure->pinned = pinText[0] != '\0';
    const bool valid = SecurityFromStored(settings.SMTPSecurity, &secure->mode) &&
                       (!secure->pinned || ParseSha256Hex(pinText, secure->pin));
    if (!valid) {
        ShowMonitorMessage(IDS_BAD_SECURITY_SETTINGS, kStyleError);
        return false;
    }
    secure->port = ServerPort(secure->mode, settings.SMTPPort);
    return true;
}

void SecureDeliveryReporter::ShowSecureFailure(SecureFailure failure, const char* reply, uint64_t limitBytes,
                                               uint64_t mailBytes)
{
    WCHAR replyText[kReplyChars];
    ToWideTrimmed(reply, replyText, kReplyChars);
    switch (failure) {
    case SecureFailure::StartTlsNotOffered:
        return ShowServerMessage(IDS_STARTTLS_NOT_OFFERED, settings_);
    case SecureFailure::StartTlsRefused:
        ShowResourceMessage(nullptr, kStyleError, IDS_MESSAGE_CAPTION, IDS_STARTTLS_REFUSED, settings_.SMTPAddr,
                            replyText);
        return;
    case SecureFailure::LoginNotOffered:
        return ShowServerMessage(IDS_LOGIN_NOT_OFFERED, settings_);
    case SecureFailure::LoginRefused:
        ShowResourceMessage(nullptr, kStyleError, IDS_MESSAGE_CAPTION, IDS_LOGIN_REFUSED, settings_.SMTPAddr,
                            settings_.SMTPUser, replyText);
        return;
    case SecureFailure::TooLarge:
        ShowResourceMessage(nullptr, kStyleError, IDS_MESSAGE_CAPTION, IDS_SIZE_LIMIT, settings_.SMTPAddr,
                            Kilobytes(limitBytes), Kilobytes(mailBytes), LargestPartKbWithin(limitBytes));
        return;
    case SecureFailure::Handshake:
        return ShowServerMessage(IDS_TLS_HANDSHAKE, settings_);
    }
}

void SecureDeliveryReporter::ShowCertificateRefused(CertificateVerdict verdict)
{
    switch (verdict) {
    case CertificateVerdict::Expired:
        return ShowServerMessage(IDS_CERT_EXPIRED, settings_);
    case CertificateVerdict::OtherName:
        return ShowServerMessage(IDS_CERT_OTHER_NAME, settings_);
    case CertificateVerdict::NotPinned:
        return ShowServerMessage(IDS_CERT_NOT_PINNED, settings_);
    default:
        return ShowServerMessage(IDS_CERT_UNTRUSTED, settings_);
    }
}

SecureConnector::SecureConnector(const PortSettings& settings, const SecureSettings& secure, DeliveryHost& host,
                                 SecureReporter& reporter)
    : settings_(settings), secure_(secure), host_(host), reporter_(reporter), raw_(settings.SMTPAddr, secure.port, host)
{
}

bool SecureConnector::Open()
{
    channel_.reset();
    engine_.reset(new (std::nothrow) SChannelEngine(settings_.SMTPAddr, secure_.pinned ? secure_.pin : nullptr));
    if (engine_)
        channel_.reset(new (std::nothrow) TlsChannel(raw_.Socket(), host_, *engine_, reporter_));
    if (!channel_) {
        ShowMonitorMessage(IDS_OUT_OF_MEMORY, kStyleError);
        return false;
    }
    if (!raw_.Open())
        return false;
    if (secure_.mode != SmtpSecurity::ImplicitTls || channel_->Handshake())
        return true;
    raw_.Close();
    return false;
}

SmtpSocket& SecureConnector::Socket()
{
    // In STARTTLS mode the greeting comes in clear; everything after STARTTLS goes through the channel.
    return secure_.mode == SmtpSecurity::ImplicitTls ? static_cast<SmtpSocket&>(*channel_) : raw_.Socket();
}

void SecureConnector::Close()
{
    raw_.Close();
}
