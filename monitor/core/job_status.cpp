#include "monitor/core/job_status.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"

#include <winspool.h>

namespace {
constexpr DWORD kFirstTryBytes = 104; // a JOB_INFO_2 without its strings

// A locked movable block that is unlocked and freed on every path.
class MovableBlock {
public:
    explicit MovableBlock(SIZE_T bytes) : handle_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes))
    {
        data_ = handle_ != nullptr ? GlobalLock(handle_) : nullptr;
    }
    ~MovableBlock() { Release(); }
    MovableBlock(const MovableBlock&) = delete;
    MovableBlock& operator=(const MovableBlock&) = delete;

    bool Resize(SIZE_T bytes)
    {
        if (handle_ == nullptr)
            return false;
        GlobalUnlock(handle_);
        data_ = nullptr;
        HGLOBAL resized = GlobalReAlloc(handle_, bytes, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (resized == nullptr)
            return false;
        handle_ = resized;
        data_ = GlobalLock(handle_);
        return data_ != nullptr;
    }
    LPBYTE data() const { return static_cast<LPBYTE>(data_); }

private:
    void Release()
    {
        if (handle_ == nullptr)
            return;
        if (data_ != nullptr)
            GlobalUnlock(handle_);
        GlobalFree(handle_);
    }
    HGLOBAL handle_;
    void* data_;
};

DWORD StatusFrom(const JOB_INFO_2W* job, PortEntry* entry)
{
    const WCHAR* document = job->pDocument != nullptr ? job->pDocument : L"";
    lstrcpynW(entry->settings.DocName, document, kMaxDocNameChars + 1);
    return job->Status;
}

bool Fail(UINT textId, DWORD* status)
{
    ShowMonitorMessage(textId, kStylePlain);
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
    if (entry->printer == nullptr)
        return Fail(IDS_NO_PRINTER_HANDLE, status);
    MovableBlock block(kFirstTryBytes);
    if (block.data() == nullptr)
        return Fail(IDS_OUT_OF_MEMORY, status);
    DWORD needed = 0;
    if (GetJobW(entry->printer, entry->jobId, 2, block.data(), kFirstTryBytes, &needed))
        return Succeed(block.data(), entry, status);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail(IDS_NO_JOB_INFO, status);
    if (!block.Resize(needed))
        return Fail(IDS_OUT_OF_MEMORY, status);
    if (GetJobW(entry->printer, entry->jobId, 2, block.data(), needed, &needed))
        return Succeed(block.data(), entry, status);
    return Fail(IDS_NO_JOB_INFO, status);
}

DWORD QueryJobStatus(PortEntry* entry)
{
    DWORD status = 0;
    TryQueryJobStatus(entry, &status);
    return status;
}
