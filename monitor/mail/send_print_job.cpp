#include "common/scoped.h"
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

#include <mutex>

namespace {

constexpr LCID kEnglishUnitedStates = 1033;
constexpr int kDateTextCapacity = 64;

// Deliveries run one at a time in the process: a second job ending on another port waits
// until the first one's mail is out.
std::mutex g_deliveryLock;

using WideList = ScopedBlock<WCHAR>;
using TextBuffer = ScopedBlock<char>;

// The list is cut into its entries as they are served: a copy of it.
WideList CopyList(const WCHAR* list)
{
    const int chars = lstrlenW(list) + 1;
    WideList copy(static_cast<WCHAR*>(AllocZeroed(chars * sizeof(WCHAR))));
    if (copy)
        lstrcpynW(copy.Get(), list, chars);
    return copy;
}

// The job's texts for one recipient in the ANSI code page, with the time of sending.
class AnsiMailTexts {
public:
    AnsiMailTexts(const PrintJobMail& job, const WCHAR* recipient)
    {
        ToAnsiText(job.server.host, server_, kMailLineCapacity);
        const bool senderExact = ToAnsiExact(job.sender, sender_, kMailLineCapacity);
        const bool recipientExact = ToAnsiExact(recipient, recipient_, kMailLineCapacity);
        ToAnsiText(job.job->DocumentName(), documentName_, kMailLineCapacity);
        ToAnsiText(job.notifyAddress, notifyAddress_, kMailLineCapacity);
        ToAnsiText(job.jobUid, jobUid_, kMailLineCapacity);
        texts_ = JobMailTexts{server_, sender_, recipient_, documentName_, notifyAddress_, jobUid_,
                              job.notification, static_cast<int32_t>(job.partIndex),
                              static_cast<int32_t>(job.partCount), GetUserDefaultLangID(), dateText_,
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
// from the encoded file beside the job's file.
class ConnectionWriter : public SessionMailWriter {
public:
    ConnectionWriter(const PrintJobMail& job, const WCHAR* recipient, SmtpSocket& socket, DeliveryHost& host,
                     char* buffer)
        : SessionMailWriter(socket, host, buffer, kMessageWriteBytes), job_(job), recipient_(recipient)
    {
    }

    bool PrepareAttachment() override
    {
        if (PrepareEncodedAttachment(job_.file, Messages()))
            return true;
        ShowMonitorMessage(Messages(), IDS_NOT_PREPARED, kStyleError);
        return false;
    }
    bool SendAttachment() override { return SendEncodedAttachment(Stream(), job_.file, Messages()); }
    void ShowRecipientRefused() override { Messages().Show(g_messageCaption, recipient_, kStyleError); }
    bool SendAborted() override { return job_.job->Aborted(); }

private:
    MessageTarget& Messages() { return job_.job->Messages(); }

    const PrintJobMail& job_;
    const WCHAR* recipient_;
};

// One recipient's mail over a greeted connection, its text gathered in the buffer of
// kMessageWriteBytes. No encoded file stays behind, whatever happened to the mail.
bool SendRecipientMail(const PrintJobMail& job, const WCHAR* recipient, SmtpSocket& socket, DeliveryHost& host,
                       char* buffer, bool sayHelo)
{
    const AnsiMailTexts mail(job, recipient);
    JobMailTexts texts = mail.texts();
    texts.sayHelo = sayHelo;
    ConnectionWriter writer(job, recipient, socket, host, buffer);
    const bool sent = SendJobMail(texts, writer);
    RemoveEncodedAttachment(job.file);
    return sent;
}

enum class Served { Delivered, NotDelivered, Stop };

// What the job's mail (the whole file or one part's) takes on the wire.
uint64_t MailBytes(const WCHAR* file)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file, GetFileExInfoStandard, &data))
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
    bool Read(const MailServer& server, MessageTarget& messages)
    {
        WideCharToMultiByte(CP_UTF8, 0, server.user, -1, user_, sizeof user_, nullptr, nullptr);
        user_[sizeof user_ - 1] = '\0';
        if (user_[0] == '\0' || server.protectedPasswordBytes == 0 ||
            ReadProtectedPassword(server.protectedPassword, server.protectedPasswordBytes, password_, sizeof password_))
            return true;
        ShowMonitorMessage(messages, IDS_PASSWORD_UNREADABLE, kStyleError);
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
SmtpSocket* OpenDialogue(const PrintJobMail& job, const SecureSettings& secure, SmtpConnector& connector,
                         SecureConnector* secureConnector, DeliveryHost& host, SecureReporter& reporter)
{
    if (!ConnectSmtpServer(connector, host) || (host.JobStatus() & JOB_STATUS_DELETING) != 0)
        return nullptr;
    if (secureConnector == nullptr)
        return &connector.Socket();
    LoginTexts login;
    if (!login.Read(job.server, job.job->Messages()))
        return nullptr;
    char clientName[MAX_COMPUTERNAME_LENGTH * 4 + 1];
    ClientName(clientName, sizeof clientName);
    const SecureOpening opening{secure.mode, clientName, login.user(), login.password(), MailBytes(job.file)};
    return OpenSecureSession(opening, connector.Socket(), secureConnector->Channel(), host, reporter);
}

Served ServeRecipient(const PrintJobMail& job, const SecureSettings& secure, const WCHAR* recipient,
                      DeliveryHost& host, char* buffer)
{
    SecureDeliveryReporter reporter(job.server, job.job->Messages());
    WinSockConnector plain(job.server, secure.port, host);
    SecureConnector encrypted(job.server, secure, host, reporter);
    const bool isSecure = secure.mode != SmtpSecurity::None;
    SmtpConnector& connector = isSecure ? static_cast<SmtpConnector&>(encrypted) : plain;
    SmtpSocket* socket = OpenDialogue(job, secure, connector, isSecure ? &encrypted : nullptr, host, reporter);
    // A secure opening that failed fails alike for every recipient: one message serves the job.
    if (socket == nullptr)
        return Served::Stop;
    const bool delivered = SendRecipientMail(job, recipient, *socket, host, buffer, !isSecure);
    // A job deleted or failed during the send stops the delivery.
    if (job.job->Aborted())
        return Served::Stop;
    return delivered ? Served::Delivered : Served::NotDelivered;
}

bool DeliverToAll(const PrintJobMail& job)
{
    WideList working = CopyList(job.recipients);
    const TextBuffer buffer(static_cast<char*>(AllocZeroed(kMessageWriteBytes)));
    if (!working || !buffer) {
        ShowMonitorMessage(job.job->Messages(), IDS_OUT_OF_MEMORY, kStyleError);
        return false;
    }
    SecureSettings secure;
    if (!ReadSecureSettings(job.server, job.job->Messages(), &secure))
        return false; // nothing is ever sent because of a bad value
    DeliveryHost host(*job.job);
    bool delivered = false;
    RecipientsFromLast<WCHAR> recipients(working.Get());
    while (const WCHAR* recipient = recipients.Next()) {
        switch (ServeRecipient(job, secure, recipient, host, buffer.Get())) {
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

BOOL SendPrintJob(const PrintJobMail& job)
{
    const std::lock_guard<std::mutex> oneDelivery(g_deliveryLock);
    const SocketLayer sockets;
    if (!sockets.started()) {
        ShowMonitorMessage(job.job->Messages(), IDS_SOCKET_START, kStyleError);
        return FALSE;
    }
    return DeliverToAll(job) ? TRUE : FALSE;
}
