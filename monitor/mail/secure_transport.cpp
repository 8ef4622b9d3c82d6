#include "monitor/mail/secure_transport.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/text_conversion.h"

#include <new>

namespace {

constexpr int kReplyChars = 1024;

DWORD Kilobytes(uint64_t bytes)
{
    const uint64_t kb = (bytes + 1023) / 1024;
    return kb > MAXDWORD ? MAXDWORD : static_cast<DWORD>(kb);
}

} // namespace

bool ReadSecureSettings(const MailServer& server, MessageTarget& messages, SecureSettings* secure)
{
    char pinText[kSha256HexChars + 2];
    ToAnsiText(server.pinnedSha256, pinText, sizeof pinText);
    secure->pinned = pinText[0] != '\0';
    const bool valid = SecurityFromStored(server.security, &secure->mode) &&
                       (!secure->pinned || ParseSha256Hex(pinText, secure->pin));
    if (!valid) {
        ShowMonitorMessage(messages, IDS_BAD_SECURITY_SETTINGS, kStyleError);
        return false;
    }
    secure->port = ServerPort(secure->mode, server.port);
    return true;
}

void SecureDeliveryReporter::ShowServerMessage(UINT textId)
{
    ShowResourceMessage(messages_, kStyleError, IDS_MESSAGE_CAPTION, textId, server_.host);
}

void SecureDeliveryReporter::ShowSecureFailure(SecureFailure failure, const char* reply, uint64_t limitBytes,
                                               uint64_t mailBytes)
{
    WCHAR replyText[kReplyChars];
    ToWideTrimmed(reply, replyText, kReplyChars);
    switch (failure) {
    case SecureFailure::StartTlsNotOffered:
        return ShowServerMessage(IDS_STARTTLS_NOT_OFFERED);
    case SecureFailure::StartTlsRefused:
        ShowResourceMessage(messages_, kStyleError, IDS_MESSAGE_CAPTION, IDS_STARTTLS_REFUSED, server_.host,
                            replyText);
        return;
    case SecureFailure::LoginNotOffered:
        return ShowServerMessage(IDS_LOGIN_NOT_OFFERED);
    case SecureFailure::LoginRefused:
        ShowResourceMessage(messages_, kStyleError, IDS_MESSAGE_CAPTION, IDS_LOGIN_REFUSED, server_.host,
                            server_.user, replyText);
        return;
    case SecureFailure::TooLarge: {
        const DWORD partKb = LargestPartKbWithin(limitBytes);
        ShowResourceMessage(messages_, kStyleError, IDS_MESSAGE_CAPTION, partKb != 0 ? IDS_SIZE_LIMIT : IDS_SIZE_LIMIT_NO_PARTS,
                            server_.host, Kilobytes(limitBytes), Kilobytes(mailBytes), partKb);
        return;
    }
    case SecureFailure::Handshake:
        return ShowServerMessage(IDS_TLS_HANDSHAKE);
    }
}

void SecureDeliveryReporter::ShowCertificateRefused(CertificateVerdict verdict)
{
    switch (verdict) {
    case CertificateVerdict::Expired:
        return ShowServerMessage(IDS_CERT_EXPIRED);
    case CertificateVerdict::OtherName:
        return ShowServerMessage(IDS_CERT_OTHER_NAME);
    case CertificateVerdict::NotPinned:
        return ShowServerMessage(IDS_CERT_NOT_PINNED);
    default:
        return ShowServerMessage(IDS_CERT_UNTRUSTED);
    }
}

SecureConnector::SecureConnector(const MailServer& server, const SecureSettings& secure, DeliveryHost& host,
                                 SecureReporter& reporter)
    : server_(server), secure_(secure), host_(host), reporter_(reporter), raw_(server, secure.port, host)
{
}

bool SecureConnector::Open()
{
    channel_.reset();
    engine_.reset(new (std::nothrow) SChannelEngine(server_.host, secure_.pinned ? secure_.pin : nullptr));
    if (engine_)
        channel_.reset(new (std::nothrow) TlsChannel(raw_.Socket(), host_, *engine_, reporter_));
    if (!channel_) {
        ShowMonitorMessage(host_.Messages(), IDS_OUT_OF_MEMORY, kStyleError);
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
