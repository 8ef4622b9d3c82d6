#include "monitor/mail/send_print_job.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/encoded_attachment.h"
#include "monitor/mail/job_mail.h"
#include "monitor/mail/message_stream.h"
#include "monitor/mail/recipient_list.h"
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
bool SendRecipientMail(PortEntry* entry, SmtpSocket& socket, DeliveryHost& host, char* buffer)
{
    const AnsiMailTexts mail(entry->settings);
    ConnectionWriter writer(entry, socket, host, buffer);
    const bool sent = SendJobMail(mail.texts(), writer);
    RemoveEncodedAttachment(entry->settings.SpoolFile);
    return sent;
}

enum class Served { Delivered, NotDelivered, Stop };

Served ServeRecipient(PortEntry* entry, DeliveryHost& host, char* buffer)
{
    WinSockConnector connector(entry->settings.SMTPAddr, host);
    if (!ConnectSmtpServer(connector, host))
        return Served::Stop;
    if ((host.JobStatus() & JOB_STATUS_DELETING) != 0)
        return Served::Stop;
    const bool delivered = SendRecipientMail(entry, connector.Socket(), host, buffer);
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
    ServedEntry served(entry->settings, saved.get());
    DeliveryHost host(entry);
    bool delivered = false;
    RecipientsFromLast<WCHAR> recipients(working.get());
    while (const WCHAR* recipient = recipients.Next()) {
        served.Serve(recipient);
        switch (ServeRecipient(entry, host, buffer.get())) {
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
