#include "printhost/job_table.h"

#include <cwchar>

namespace spooler {
namespace {

constexpr WCHAR kMappingName[] = L"VelloprintSpoolerStandinJobs";
constexpr WCHAR kMutexName[] = L"VelloprintSpoolerStandinLock";

// The mapping and the mutex, opened once per process and kept open until it ends, so that the
// table outlives every single call.
struct SharedTable {
    HANDLE mapping = nullptr;
    HANDLE mutex = nullptr;
    JobTable* table = nullptr;

    SharedTable()
    {
        // A new paging-file mapping is zero-filled: an empty table.
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(JobTable), kMappingName);
        if (mapping != nullptr)
            table = static_cast<JobTable*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(JobTable)));
        mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    }
};

SharedTable& Shared()
{
    static SharedTable shared;
    return shared;
}

} // namespace

LockedJobTable::LockedJobTable()
{
    SharedTable& shared = Shared();
    if (shared.table == nullptr || shared.mutex == nullptr)
        return;
    // An abandoned mutex (its holder died) still hands over the lock.
    const DWORD wait = WaitForSingleObject(shared.mutex, INFINITE);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED)
        return;
    mutex_ = shared.mutex;
    table_ = shared.table;
}

LockedJobTable::~LockedJobTable()
{
    if (mutex_ != nullptr)
        ReleaseMutex(mutex_);
}

JobRecord* LockedJobTable::FindJob(DWORD jobId) const
{
    if (table_ == nullptr || jobId == 0)
        return nullptr;
    for (JobRecord& job : table_->jobs) {
        if (job.id == jobId)
            return &job;
    }
    return nullptr;
}

bool LockedJobTable::HasPrinter(const WCHAR* printer) const
{
    if (table_ == nullptr || printer == nullptr)
        return false;
    for (const JobRecord& job : table_->jobs) {
        if (job.id != 0 && _wcsicmp(job.printer, printer) == 0)
            return true;
    }
    return false;
}

} // namespace spooler
