// winspool.drv of the print host: the spooler calls a port monitor makes, answered from the shared
// job table (printhost/job_table.h) instead of a print queue.
#include <windows.h>
#include <winspool.h>

#include "printhost/job_table.h"

#include <cwchar>
#include <mutex>
#include <set>
#include <string>

using spooler::JobRecord;
using spooler::LockedJobTable;

namespace {

struct PrinterHandle {
    WCHAR printer[spooler::kPrinterNameChars];
};

// Handles of this process: a handle is checked against this set before it is used, so a stale
// or made-up handle gets ERROR_INVALID_HANDLE instead of a crash.
std::mutex g_handlesLock;
std::set<PrinterHandle*> g_handles;

PrinterHandle* CheckedHandle(HANDLE printer)
{
    std::lock_guard<std::mutex> lock(g_handlesLock);
    auto* handle = static_cast<PrinterHandle*>(printer);
    return g_handles.count(handle) != 0 ? handle : nullptr;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

std::wstring ComputerName()
{
    WCHAR name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return std::wstring(L"\\\\") + name;
}

std::wstring UserName()
{
    WCHAR name[257] = {};
    DWORD size = 257;
    GetUserNameW(name, &size);
    return name;
}

// 1-based place of the job among the jobs of its printer.
DWORD QueuePosition(const LockedJobTable& locked, const JobRecord& job)
{
    DWORD position = 0;
    for (const JobRecord& other : locked.Table()->jobs) {
        if (other.id != 0 && other.id <= job.id && _wcsicmp(other.printer, job.printer) == 0)
            ++position;
    }
    return position;
}

// The string members of a JOB_INFO_2W that the stand-in fills, in the order they are packed.
LPWSTR JOB_INFO_2W::* const kStringMembers[] = {
    &JOB_INFO_2W::pPrinterName, &JOB_INFO_2W::pMachineName, &JOB_INFO_2W::pUserName, &JOB_INFO_2W::pDocument,
    &JOB_INFO_2W::pNotifyName,  &JOB_INFO_2W::pDatatype,    &JOB_INFO_2W::pPrintProcessor,
};
constexpr size_t kStringCount = sizeof(kStringMembers) / sizeof(kStringMembers[0]);

// The texts of those members for one job; a null text (a job without document name) leaves its
// member null.
class JobStrings {
public:
    explicit JobStrings(const JobRecord& job)
        : machine_(ComputerName()), user_(UserName()),
          texts_{job.printer, machine_.c_str(), user_.c_str(), job.document[0] != L'\0' ? job.document : nullptr,
                 user_.c_str(), L"RAW", L"winprint"}
    {
    }

    DWORD Bytes() const
    {
        DWORD bytes = 0;
        for (const WCHAR* text : texts_) {
            if (text != nullptr)
                bytes += static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR));
        }
        return bytes;
    }

    // Copies the texts to next and onwards and points the members at them.
    void Pack(JOB_INFO_2W* info, BYTE* next) const
    {
        for (size_t i = 0; i < kStringCount; ++i) {
            if (texts_[i] == nullptr)
                continue;
            const size_t bytes = (wcslen(texts_[i]) + 1) * sizeof(WCHAR);
            memcpy(next, texts_[i], bytes);
            info->*kStringMembers[i] = reinterpret_cast<LPWSTR>(next);
            next += bytes;
        }
    }

private:
    std::wstring machine_;
    std::wstring user_;
    const WCHAR* texts_[kStringCount];
};

void FillJobInfo2(const LockedJobTable& locked, const JobRecord& job, const JobStrings& strings,
                  BYTE* buffer)
{
    auto* info = reinterpret_cast<JOB_INFO_2W*>(buffer);
    *info = JOB_INFO_2W{};
    strings.Pack(info, buffer + sizeof(JOB_INFO_2W));
    info->JobId = job.id;
    info->Status = job.status;
    info->Priority = DEF_PRIORITY;
    info->Position = QueuePosition(locked, job);
    info->Submitted = job.submitted;
}

bool IsKnownCommand(DWORD command)
{
    return command >= JOB_CONTROL_PAUSE && command <= JOB_CONTROL_LAST_PAGE_EJECTED;
}

void ApplyCommand(JobRecord& job, DWORD command)
{
    switch (command) {
    case JOB_CONTROL_PAUSE: job.status |= JOB_STATUS_PAUSED; break;
    case JOB_CONTROL_RESUME: job.status &= ~JOB_STATUS_PAUSED; break;
    case JOB_CONTROL_CANCEL:
    case JOB_CONTROL_DELETE: job.status |= JOB_STATUS_DELETING; break;
    case JOB_CONTROL_LAST_PAGE_EJECTED: job.status |= JOB_STATUS_PRINTED; break;
    default: break; // restart and sent-to-printer change no status bit here
    }
}

} // namespace

extern "C" {

BOOL WINAPI OpenPrinterW(LPWSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSW /*defaults*/)
{
    if (printer == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    *printer = nullptr;
    if (printerName == nullptr || wcslen(printerName) >= spooler::kPrinterNameChars)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    LockedJobTable locked;
    if (locked.Table() == nullptr)
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (locked.Table()->openPrinterFailure != 0)
        return Fail(locked.Table()->openPrinterFailure);
    if (!locked.HasPrinter(printerName))
        return Fail(ERROR_INVALID_PRINTER_NAME);

    auto* handle = new PrinterHandle{};
    wcscpy(handle->printer, printerName);
    {
        std::lock_guard<std::mutex> lock(g_handlesLock);
        g_handles.insert(handle);
    }
    ++locked.Table()->openPrinterHandles;
    *printer = handle;
    return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE printer)
{
    PrinterHandle* handle = CheckedHandle(printer);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    {
        std::lock_guard<std::mutex> lock(g_handlesLock);
        g_handles.erase(handle);
    }
    delete handle;
    LockedJobTable locked;
    if (locked.Table() != nullptr)
        --locked.Table()->openPrinterHandles;
    return TRUE;
}

// Level 2 only: a JOB_INFO_2W with its strings packed after it in the caller's buffer. The bytes
// needed are reported on success and on ERROR_INSUFFICIENT_BUFFER alike.
BOOL WINAPI GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD bufferSize,
                    LPDWORD bytesNeeded)
{
    const PrinterHandle* handle = CheckedHandle(printer);
    if (handle == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (bytesNeeded == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    LockedJobTable locked;
    if (locked.Table() == nullptr)
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (locked.Table()->getJobFailure != 0)
        return Fail(locked.Table()->getJobFailure);
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    const JobRecord* job = locked.FindJob(jobId);
    if (job == nullptr || _wcsicmp(job->printer, handle->printer) != 0)
        return Fail(ERROR_INVALID_PARAMETER);

    const JobStrings strings(*job);
    const DWORD needed = sizeof(JOB_INFO_2W) + strings.Bytes();
    *bytesNeeded = needed;
    if (buffer == nullptr || bufferSize < needed)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    FillJobInfo2(locked, *job, strings, buffer);
    return TRUE;
}

// Level 0: a job control command; every command is recorded, known or not. Level 2 without a
// command: the job's status text is kept.
BOOL WINAPI SetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE info, DWORD command)
{
    if (CheckedHandle(printer) == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (level != 0 && (level != 2 || info == nullptr || command != 0))
        return Fail(ERROR_INVALID_LEVEL);
    LockedJobTable locked;
    JobRecord* job = locked.FindJob(jobId);
    if (job == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (level == 2) {
        const WCHAR* status = reinterpret_cast<const JOB_INFO_2W*>(info)->pStatus;
        lstrcpynW(job->statusText, status != nullptr ? status : L"", spooler::kStatusTextChars);
        return TRUE;
    }
    if (job->commandCount < spooler::kMaxCommands)
        job->commands[job->commandCount] = command;
    ++job->commandCount;
    if (!IsKnownCommand(command))
        return Fail(ERROR_INVALID_PARAMETER);
    ApplyCommand(*job, command);
    return TRUE;
}

} // extern "C"
