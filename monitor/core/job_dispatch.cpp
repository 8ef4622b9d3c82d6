#include "monitor/core/entry_points.h"
#include "monitor/core/job_messages.h"
#include "monitor/core/job_status.h"
#include "monitor/core/job_uid.h"
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/part_plan.h"
#include "monitor/core/port_handle.h"
#include "monitor/core/resource_ids.h"
#include "monitor/core/spool_file.h"
#include "monitor/mail/send_print_job.h"

#include <winspool.h>

namespace {
constexpr UINT kQuestionStyle = MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND; // 0x10041
constexpr DWORD kJobStatusDeleting = 0x4;

bool SplitsJobs(const PortSettings& settings)
{
    return settings.PartSw == 1;
}

bool UserWantsToSend(const PortSettings& settings, uint64_t size, MessageTarget& messages)
{
    const SizeQuestion question = ChooseSizeQuestion(size, settings.CheckMailSw, SplitsJobs(settings));
    if (question == SizeQuestion::None)
        return true;

    WCHAR caption[256];
    WCHAR format[2048];
    LoadStringW(g_resourceLibrary, IDS_LARGE_JOB_CAPTION, caption, ARRAYSIZE(caption));
    if (question == SizeQuestion::WholeJob) {
        LoadStringW(g_resourceLibrary, IDS_LARGE_JOB, format, ARRAYSIZE(format));
        return messages.Show(caption, format, kQuestionStyle) != IDCANCEL;
    }

    const uint64_t partCount = PartCountFor(size, settings.PartLimit);
    LoadStringW(g_resourceLibrary, IDS_SPLIT_JOB, format, ARRAYSIZE(format));
    WCHAR text[1025]; // wsprintfW writes at most 1024 characters
    wsprintfW(text, format, static_cast<DWORD>(size / 1024), static_cast<DWORD>(PartChunkBytes(settings.PartLimit) / 1024),
              static_cast<DWORD>(partCount));
    return messages.ShowWithButtonLanguage(caption, text, kQuestionStyle, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) !=
           IDCANCEL;
}

void BuildJobUid(const WCHAR* sender, WCHAR (&jobUid)[kJobUidChars])
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    WCHAR date[16] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &local, L"yyyyMMdd", date, ARRAYSIZE(date));
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    FormatJobUid(sender, date, UidTime{utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds}, jobUid,
                 kJobUidChars);
}

// The mail code's view of the port's job: the spooler's status and the send-abort flag.
class PortJobWatch : public PrintJobWatch {
public:
    explicit PortJobWatch(PortEntry* entry) : entry_(entry) {}
    bool QueryStatus(DWORD* status) override { return TryQueryJobStatus(entry_, status); }
    const WCHAR* DocumentName() override { return entry_->settings.DocName; }
    void MarkAborted() override { SetFlag(entry_, kFlagSendAbort); }
    bool Aborted() override { return HasFlag(entry_, kFlagSendAbort); }
    MessageTarget& Messages() override { return JobMessages(entry_); }

private:
    PortEntry* entry_;
};

// The whole job's mail, from the settings the job started with.
PrintJobMail DescribeJob(const PortSettings& settings, const WCHAR* jobUid, PrintJobWatch& watch)
{
    PrintJobMail job{};
    job.file = settings.SpoolFile;
    job.recipients = settings.ServAddr;
    job.sender = settings.UserAddr;
    job.notification = settings.Notification;
    job.notifyAddress = settings.NotifyAddr;
    job.jobUid = jobUid;
    job.partIndex = 1;
    job.partCount = 1;
    job.server = MailServer{settings.SMTPAddr, settings.SMTPSecurity, settings.SMTPPort, settings.SMTPUser,
                            settings.SMTPCertSHA256, settings.SMTPPassword, settings.SMTPPasswordBytes};
    job.job = &watch;
    return job;
}

// Copies one part through the buffer; a part larger than the buffer is not copied at all.
bool CopyBytes(HANDLE from, HANDLE to, const LockedGlobalMemory& buffer, uint64_t count)
{
    if (count > buffer.Size())
        return false;
    const DWORD bytes = static_cast<DWORD>(count);
    DWORD read = 0;
    DWORD written = 0;
    return ReadFile(from, buffer.Data(), bytes, &read, nullptr) && read == bytes &&
           WriteFile(to, buffer.Data(), bytes, &written, nullptr) && written == bytes;
}

// Writes the part into a new part file and mails it; the part file is deleted afterwards. A part
// that could not be copied whole is not mailed. Returns whether the part went out.
bool SendPart(HANDLE spoolFile, PrintJobMail part, uint64_t partBytes, const LockedGlobalMemory& buffer)
{
    WCHAR partPath[kSpoolPathChars];
    ScopedFile partFile;
    CreateSpoolFile(partFile.Out(), partPath, L"tmp");
    if (!partFile)
        return false;
    part.file = partPath;
    const bool sent = CopyBytes(spoolFile, partFile.Get(), buffer, partBytes) && SendPrintJob(part);
    partFile.Reset();
    DeleteFileW(partPath);
    return sent;
}

void SendInParts(HANDLE spoolFile, const PrintJobMail& job, uint32_t partLimit, uint64_t size)
{
    const uint64_t partCount = PartCountFor(size, partLimit);
    if (partCount == 0)
        return;

    // One part in memory at a time, never the whole job: at most 16 MiB.
    const LockedGlobalMemory buffer(static_cast<SIZE_T>(PartChunkBytes(partLimit)));
    if (buffer.Data() == nullptr) {
        ShowMonitorMessage(job.job->Messages(), IDS_OUT_OF_MEMORY, kStylePlain);
        return;
    }
    SetFilePointer(spoolFile, 0, nullptr, FILE_BEGIN);
    PrintJobMail part = job;
    part.partCount = static_cast<DWORD>(partCount);
    for (uint64_t index = 1; index <= partCount; ++index) {
        part.partIndex = static_cast<DWORD>(index);
        // A part that did not go out stops the job: later parts would leave a gap.
        if (!SendPart(spoolFile, part, PartBytes(size, partLimit, index), buffer))
            break;
    }
}

uint64_t SpoolFileSize(HANDLE file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

void DispatchJob(PortEntry* entry)
{
    const PortSettings& settings = entry->settings;
    const uint64_t size = SpoolFileSize(entry->file.Get());
    if (!UserWantsToSend(settings, size, JobMessages(entry)))
        return;
    WCHAR jobUid[kJobUidChars];
    BuildJobUid(settings.UserAddr, jobUid);
    if ((QueryJobStatus(entry) & kJobStatusDeleting) != 0)
        return; // deleted by the user in the queue
    PortJobWatch watch(entry);
    const PrintJobMail job = DescribeJob(settings, jobUid, watch);
    if (SplitsJobs(settings))
        SendInParts(entry->file.Get(), job, settings.PartLimit, size);
    else
        SendPrintJob(job);
}

void FinishJob(PortEntry* entry)
{
    if (!HasFlag(entry, kFlagNoPrinter))
        SetJobW(entry->printer.Get(), entry->jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
    entry->file.Reset();
    ReleaseJobPrinter(entry);
    DeleteFileW(entry->settings.SpoolFile);
    ClearFlag(entry, kFlagJobInProgress | kFlagSendAbort | kFlagNoPrinter);
}
} // namespace

BOOL WINAPI NmxEndDocPort(HANDLE port)
{
    PortEntry* entry = PortFromHandle(port);
    if (entry == nullptr)
        return RefuseHandle();
    if (!HasFlag(entry, kFlagJobInProgress))
        return TRUE;
    if (!HasFlag(entry, kFlagSendAbort)) {
        FlushFileBuffers(entry->file.Get());
        DispatchJob(entry);
    }
    // The job is never retried: whatever the mail did, the spooler is told it is done.
    FinishJob(entry);
    return TRUE;
}
