#include "monitor/core/job_status.h"
#include "monitor/core/job_messages.h"
#include "monitor/core/resource_ids.h"

#include <winspool.h>

namespace {
constexpr DWORD kFirstTryBytes = 104; // a JOB_INFO_2 without its strings

LPBYTE Bytes(const LockedGlobalMemory& block)
{
    return static_cast<LPBYTE>(block.Data());
}

DWORD StatusFrom(const JOB_INFO_2W* job, PortEntry* entry)
{
    const WCHAR* document = job->pDocument != nullptr ? job->pDocument : L"";
    lstrcpynW(entry->settings.DocName, document, kMaxDocNameChars + 1);
    return job->Status;
}

bool Fail(PortEntry* entry, UINT textId, DWORD* status)
{
    ShowMonitorMessage(JobMessages(entry), textId, kStylePlain);
    *status = 0;
    return false;
}

bool Succeed(const BYTE* block, PortEntry* entry, DWORD* status)
{
    *status = StatusFrom(reinterpret_cast<const JOB_INFO_2W*>(block), entry);
    return true;
}
} // namespace

bool TryQueryJobStatus(PortEntry* entry, DWORD* status)
{
    // A job without a printer has no status to read, and nothing went wrong: no message.
    if (HasFlag(entry, kFlagNoPrinter)) {
        *status = 0;
        return false;
    }
    if (!entry->printer)
        return Fail(entry, IDS_NO_PRINTER_HANDLE, status);
    LockedGlobalMemory block(kFirstTryBytes);
    if (block.Data() == nullptr)
        return Fail(entry, IDS_OUT_OF_MEMORY, status);
    DWORD needed = 0;
    if (GetJobW(entry->printer.Get(), entry->jobId, 2, Bytes(block), kFirstTryBytes, &needed))
        return Succeed(Bytes(block), entry, status);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail(entry, IDS_NO_JOB_INFO, status);
    if (!block.Resize(needed))
        return Fail(entry, IDS_OUT_OF_MEMORY, status);
    if (GetJobW(entry->printer.Get(), entry->jobId, 2, Bytes(block), needed, &needed))
        return Succeed(Bytes(block), entry, status);
    return Fail(entry, IDS_NO_JOB_INFO, status);
}

DWORD QueryJobStatus(PortEntry* entry)
{
    DWORD status = 0;
    TryQueryJobStatus(entry, &status);
    return status;
}
