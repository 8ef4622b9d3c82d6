#include "monitor/core/entry_points.h"
#include "monitor/core/job_status.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
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
constexpr DWORD kJobUidUserChars = 60;

bool SplitsJobs(const PortSettings& settings)
{
    return settings.PartSw == 1;
}

bool UserWantsToSend(PortEntry* entry, uint64_t size)
{
    PortSettings& settings = entry->settings;
    const SizeQuestion question = ChooseSizeQuestion(size, settings.CheckMailSw, SplitsJobs(settings));
    if (question == SizeQuestion::None)
        return true;

    WCHAR caption[256];
    WCHAR format[2048];
    LoadStringW(g_resourceLibrary, IDS_LARGE_JOB_CAPTION, caption, ARRAYSIZE(caption));
    if (question == SizeQuestion::WholeJob) {
        LoadStringW(g_resourceLibrary, IDS_LARGE_JOB, format, ARRAYSIZE(format));
        return MessageBoxW(nullptr, format, caption, kQuestionStyle) != IDCANCEL;
    }

    const uint64_t partCount = PartCountFor(size, settings.PartLimit);
    settings.PartCount = static_cast<DWORD>(partCount);
    LoadStringW(g_resourceLibrary, IDS_SPLIT_JOB, format, ARRAYSIZE(format));
    WCHAR text[1025]; // wsprintfW writes at most 1024 characters
    wsprintfW(text, format, static_cast<DWORD>(size / 1024), static_cast<DWORD>(PartChunkBytes(settings.PartLimit) / 1024),
              static_cast<DWORD>(partCount));
    return MessageBoxExW(nullptr, text, caption, kQuestionStyle, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) != IDCANCEL;
}

// The sender address, the local date and the UTC time down to the millisecond.
void BuildJobUid(PortSettings& settings)
{
    lstrcpynW(settings.JobUID, settings.UserAddr, kJobUidUserChars + 1);
    SYSTEMTIME local;
    GetLocalTime(&local);
    WCHAR date[16] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &local, L"yyyyMMdd", date, ARRAYSIZE(date));
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    WCHAR time[24];
    wsprintfW(time, L"%d%d%d%d", utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    lstrcatW(settings.JobUID, date);
    lstrcatW(settings.JobUID, time);
}

class LockedBuffer {
public:
    explicit LockedBuffer(DWORD bytes) : handle_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)), size_(bytes)
    {
        data_ = handle_ != nullptr ? static_cast<BYTE*>(GlobalLock(handle_)) : nullptr;
    }
    ~LockedBuffer()
    {
        if (data_ != nullptr)
            GlobalUnlock(handle_);
        if (handle_ != nullptr)
            GlobalFree(handle_);
    }
    LockedBuffer(const LockedBuffer&) = delete;
    LockedBuffer& operator=(const LockedBuffer&) = delete;
    BYTE* data() const { return data_; }
    DWORD size() const { return size_; }

private:
    HGLOBAL handle_;
    DWORD size_;
    BYTE* data_;
};

// Copies one part through the buffer; a part larger than the buffer is not copied at all.
bool CopyBytes(HANDLE from, HANDLE to, const LockedBuffer& buffer, uint64_t count)
{
    if (count > buffer.size())
        return false;
    const DWORD bytes = static_cast<DWORD>(count);
    DWORD read = 0;
    DWORD written = 0;
    return ReadFile(from, buffer.data(), bytes, &read, nullptr) && read == bytes &&
           WriteFile(to, buffer.data(), bytes, &written, nullptr) && written == bytes;
}

// Writes part partIndex into a new part file whose path goes into SpoolFile, and mails it.
// A part that could not be copied whole is not mailed. Returns whether the part went out.
bool SendPart(PortEntry* entry, uint64_t partBytes, const LockedBuffer& buffer)
{
    PortSettings& settings = entry->settings;
    HANDLE partFile = INVALID_HANDLE_VALUE;
    CreateSpoolFile(&partFile, settings.SpoolFile, L"tmp");
    if (partFile == INVALID_HANDLE_VALUE)
        return false;
    const bool copied = CopyBytes(entry->file, partFile, buffer, partBytes);
    const bool sent = copied && SendPrintJob(entry);
    CloseHandle(partFile);
    DeleteFileW(settings.SpoolFile);
    return sent;
}

void SendInParts(PortEntry* entry, uint64_t size)
{
    PortSettings& settings = entry->settings;
    const uint64_t partCount = PartCountFor(size, settings.PartLimit);
    settings.PartCount = static_cast<DWORD>(partCount);
    if (partCount == 0)
        return;

    // One part in memory at a time, never the whole job: at most 16 MiB.
    LockedBuffer buffer(static_cast<DWORD>(PartChunkBytes(settings.PartLimit)));
    if (buffer.data() == nullptr) {
        ShowMonitorMessage(IDS_OUT_OF_MEMORY, kStylePlain);
        return;
    }
    WCHAR spoolPath[ARRAYSIZE(settings.SpoolFile)];
    lstrcpynW(spoolPath, settings.SpoolFile, ARRAYSIZE(spoolPath));
    SetFilePointer(entry->file, 0, nullptr, FILE_BEGIN);

    for (uint64_t part = 1; part <= partCount; ++part) {
        settings.PartIndex = static_cast<DWORD>(part);
        // A part that did not go out stops the job: later parts would leave a gap.
        if (!SendPart(entry, PartBytes(size, settings.PartLimit, part), buffer))
            break;
    }
    lstrcpynW(settings.SpoolFile, spoolPath, ARRAYSIZE(settings.SpoolFile));
}

void SendWhole(PortEntry* entry)
{
    entry->settings.PartIndex = 1;
    entry->settings.PartCount = 1;
    SendPrintJob(entry);
}

uint64_t SpoolFileSize(HANDLE file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

void DispatchJob(PortEntry* entry)
{
    const uint64_t size = SpoolFileSize(entry->file);
    if (!UserWantsToSend(entry, size))
        return;
    BuildJobUid(entry->settings);
    if ((QueryJobStatus(entry) & kJobStatusDeleting) != 0)
        return; // deleted by the user in the queue
    if (SplitsJobs(entry->settings))
        SendInParts(entry, size);
    else
        SendWhole(entry);
}

void FinishJob(PortEntry* entry)
{
    if (!HasFlag(entry, kFlagNoPrinter))
        SetJobW(entry->printer, entry->jobId, 0, nullptr, JOB_CONTROL_LAST_PAGE_EJECTED);
    CloseHandle(entry->file);
    entry->file = INVALID_HANDLE_VALUE;
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
        FlushFileBuffers(entry->file);
        DispatchJob(entry);
    }
    // The job is never retried: whatever the mail did, the spooler is told it is done.
    FinishJob(entry);
    return TRUE;
}
