#include "monitor/mail/send_print_job.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/encoded_attachment.h"
#include "monitor/mail/job_mail.h"
#include "monitor/mail/message_stream.h"
#include "monitor/core/protected_password.h"
#include "monitor/mail/recipient_list.h"
#include "monitor/mail/secure_transport.h"
#include "monitor/mail/text_conversion.h"
#include "monitor/mail/winsock_transport.h"

#include <winspool.h>

#include <memory>
#include <mutex>

namespace {

constexpr LCID kEnglishUnitedStates = 1033;
constexpr int kDateTextCapacity = 64;

// Deliveries run one at a time in the process: a second job ending on another port waits
// until the first one's mail is out.
std::mutex g_deliveryLock;

using WideList = std::unique_ptr<WCHAR[], GlobalFreeDeleter>;
using TextBuffer = std::unique_ptr<char[], GlobalFreeDeleter>;

WideList CopyList(const WCHAR* list)
{
    WideList copy(static_cast<WCHAR*>(AllocZeroed(sizeof(PortSettings::ServAddr))));
    if (copy)
        lstrcpynW(copy.get(), list, ARRAYSIZE(PortSettings::ServAddr));
    return copy;
}

// ServAddr holds one entry while it is served and the whole list again afterwards.
class ServedEntry {
public:
    ServedEntry(PortSettings& settings, const WCHAR* savedList) : settings_(settings), savedList_(savedList) {}
    ~ServedEntry() { lstrcpynW(settings_.ServAddr, savedList_, ARRAYSIZE(settings_.ServAddr)); }
    ServedEntry(const ServedEntry&) = delete;
    ServedEntry& operator=(const ServedEntry&) = delete;
    void Serve(const WCHAR* entry) { lstrcpynW(settings_.ServAddr, entry, ARRAYSIZE(settings_.ServAddr)); }

private:
    PortSettings& settings_;
    const WCHAR* savedList_;
};

// The port's texts in the ANSI code page, with the time of sending.
class AnsiMailTexts {
public:
    explicit AnsiMailTexts(const PortSettings& settings)
    {
        ToAnsiText(settings.SMTPAddr, server_, kMailLineCapacity);
        const bool senderExact = ToAnsiExact(settings.UserAddr, sender_, kMailLineCapacity);
        const bool recipientExact = ToAnsiExact(settings.ServAddr, recipient_, kMailLineCapacity);
        ToAnsiText(settings.DocName, documentName_, kMailLineCapacity);
        ToAnsiText(settings.NotifyAddr, notifyAddress_, kMailLineCapacity);
        ToAnsiText(settings.JobUID, jobUid_, kMailLineCapacity);
        texts_ = JobMailTexts{server_, sender_, recipient_, documentName_, notifyAddress_, jobUid_,
                              settings.Notification, static_cast<int32_t>(settings.PartIndex),
                              static_cast<int32_t>(settings.PartCount), GetUserDefaultLangID(), dateText_,
                              CivilTime{}, 0, senderExact, recipientExact};
        StampTime();
    }
    const JobMailTexts& texts() const { return texts_; }

private:
    void StampTime()
    {
        SYSTEMTIME utc;
        GetSystemTime(&utc);
        TIME_ZONE_INFORMATION zone;
        GetTimeZoneInformation(&zone);
        texts_.biasMinutes = zone.Bias; // the standard bias: no daylight saving shift
        const CivilTime now{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wDayOfWeek};
        texts_.localTime = LocalFromUtc(now, texts_.biasMinutes);
        SYSTEMTIME local{};
        local.wYear = static_cast<WORD>(texts_.localTime.year);
        local.wMonth = static_cast<WORD>(texts_.localTime.month);
        local.wDay = static_cast<WORD>(texts_.localTime.day);
        local.wDayOfWeek = static_cast<WORD>(texts_.localTime.dayOfWeek);
        WCHAR date[kDateTextCapacity] = L"";
        GetDateFormatW(kEnglishUnitedStates, 0, &local, L"ddd','dd MMM yyy", date, kDateTextCapacity);
        ToAnsiText(date, dateText_, kDateTextCapacity);
    }

    char server_[kMailLineCapacity];
    char sender_[kMailLineCapacity];
    char recipient_[kMailLineCapacity];
    char documentName_[kMailLineCapacity];
    char notifyAddress_[kMailLineCapacity];
    char jobUid_[kMailLineCapacity];
    char dateText_[kDateTextCapacity];
    JobMailTexts texts_;
};

// The mail's commands and texts go to the connection through the session; the attachment comes
// from the encoded file beside the spool file.
class ConnectionWriter : public SessionMailWriter {
public:
    ConnectionWriter(PortEntry* entry, SmtpSocket& socket, DeliveryHost& host, char* buffer)
        : SessionMailWriter(socket, host, buffer, kMessageWriteBytes), entry_(entry)
    {
    }

    bool PrepareAttachment() override
    {
        if (PrepareEncodedAttachment(entry_->settings.SpoolFile))
            return true;
        ShowMonitorMessage(IDS_NOT_PREPARED, kStyleError);
        return false;
    }
    bool SendAttachment() override { return SendEncodedAttachment(Stream(), entry_->settings.SpoolFile); }
    void ShowRecipientRefused() override
    {
        MessageBoxW(nullptr, entry_->settings.ServAddr, g_messageCaption, kStyleError);
    }
    bool SendAborted() override { return HasFlag(entry_, kFlagSendAbort); }

private:
    PortEntry* entry_;
};

// One recipient's mail over a greeted connection, its text gathered in the buffer of
// kMessageWriteBytes. No encoded file stays behind, whatever happened to the mail.
bool SendRecipientMail(PortEntry* entry, SmtpSocket& socket, DeliveryHost& host, char* buffer, bool sayHelo)
{
    const AnsiMailTexts mail(entry->settings);
    JobMailTexts texts = mail.texts();
    texts.sayHelo = sayHelo;
    ConnectionWriter writer(entry, socket, host, buffer);
    const bool sent = SendJobMail(texts, writer);
    RemoveEncodedAttachment(entry->settings.SpoolFile);
    return sent;
}

enum class Served { Delivered, NotDelivered, Stop };

// What the job's mail (the spool file, or the part file of the moment) takes on the wire.
uint64_t MailBytes(const PortSettings& settings)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(settings.SpoolFile, GetFileExInfoStandard, &data))
        return 0;
    return MessageWireBytes((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

// "EHLO" names this computer.
void ClientName(char* out, DWORD capacity)
{
    if (!GetComputerNameExA(ComputerNameDnsHostname, out, &capacity) || out[0] == '\0')
        lstrcpynA(out, "localhost", static_cast<int>(capacity));
}

// The user and the password for the login, in UTF-8; wiped when it goes.
class LoginTexts {
public:
    ~LoginTexts() { WipeSecret(password_, sizeof password_); }
    // False, after the message, when a stored password cannot be decrypted.
    bool Read(const PortSettings& settings)
    {
        WideCharToMultiByte(CP_UTF8, 0, settings.SMTPUser, -1, user_, sizeof user_, nullptr, nullptr);
        user_[sizeof user_ - 1] = '\0';
        if (user_[0] == '\0' || settings.SMTPPasswordBytes == 0 ||
            ReadProtectedPassword(settings, password_, sizeof password_))
            return true;
        ShowMonitorMessage(IDS_PASSWORD_UNREADABLE, kStyleError);
        return false;
    }
    const char* user() const { return user_; }
    const char* password() const { return password_; }

private:
    char user_[3 * kMaxSmtpUserChars + 1] = "";
    char password_[3 * kMaxPasswordChars + 1] = "";
};

// Connects, greets, and in the secure modes makes the connection secure and logs in: the
// connection the mail goes over, or null when the delivery stops (the reason has been shown).
SmtpSocket* OpenDialogue(PortEntry* entry, const SecureSettings& secure, SmtpConnector& connector,
                         SecureConnector* secureConnector, DeliveryHost& host, SecureReporter& reporter)
{
    if (!ConnectSmtpServer(connector, host) || (host.JobStatus() & JOB_STATUS_DELETING) != 0)
        return nullptr;
    if (secureConnector == nullptr)
        return &connector.Socket();
    LoginTexts login;
    if (!login.Read(entry->settings))
        return nullptr;
    char clientName[MAX_COMPUTERNAME_LENGTH * 4 + 1];
    ClientName(clientName, sizeof clientName);
    const SecureOpening opening{secure.mode, clientName, login.user(), login.password(), MailBytes(entry->settings)};
    return OpenSecureSession(opening, connector.Socket(), secureConnector->Channel(), host, reporter);
}

Served ServeRecipient(PortEntry* entry, const SecureSettings& secure, DeliveryHost& host, char* buffer)
{
    SecureDeliveryReporter reporter(entry->settings);
    WinSockConnector plain(entry->settings.SMTPAddr, secure.port, host);
    SecureConnector encrypted(entry->settings, secure, host, reporter);
    const bool isSecure = secure.mode != SmtpSecurity::None;
    SmtpConnector& connector = isSecure ? static_cast<SmtpConnector&>(encrypted) : plain;
    SmtpSocket* socket = OpenDialogue(entry, secure, connector, isSecure ? &encrypted : nullptr, host, reporter);
    // A secure opening that failed fails alike for every recipient: one message serves the job.
    if (socket == nullptr)
        return Served::Stop;
    const bool delivered = SendRecipientMail(entry, *socket, host, buffer, !isSecure);
    // A job deleted or failed during the send stops the delivery.
    if (HasFlag(entry, kFlagSendAbort))
        return Served::Stop;
    return delivered ? Served::Delivered : Served::NotDelivered;
}

bool DeliverToAll(PortEntry* entry)
{
    const WideList saved = CopyList(entry->settings.ServAddr);
    WideList working = CopyList(entry->settings.ServAddr);
    const TextBuffer buffer(static_cast<char*>(AllocZeroed(kMessageWriteBytes)));
    if (!saved || !working || !buffer) {
        ShowMonitorMessage(IDS_OUT_OF_MEMORY, kStyleError);
        return false;
    }
    SecureSettings secure;
    if (!ReadSecureSettings(entry->settings, &secure))
        return false; // nothing is ever sent because of a bad value
    ServedEntry served(entry->settings, saved.get());
    DeliveryHost host(entry);
    bool delivered = false;
    RecipientsFromLast<WCHAR> recipients(working.get());
    while (const WCHAR* recipient = recipients.Next()) {
        served.Serve(recipient);
        switch (ServeRecipient(entry, secure, host, buffer.get())) {
        case Served::Stop:
            return false;
        case Served::Delivered:
            delivered = true;
            break;
        case Served::NotDelivered:
            break;
        }
    }
    return delivered;
}

} // namespace

BOOL SendPrintJob(PortEntry* entry)
{
    const std::lock_guard<std::mutex> oneDelivery(g_deliveryLock);
    const SocketLayer sockets;
    if (!sockets.started()) {
        ShowMonitorMessage(IDS_SOCKET_START, kStyleError);
        return FALSE;
    }
    return DeliverToAll(entry) ? TRUE : FALSE;
}
