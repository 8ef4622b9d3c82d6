#include "printhost/spooler_standin_control.h"

#include "printhost/job_table.h"

#include <cwchar>

namespace spooler {
namespace {

JobRecord* FreeSlot(JobTable* table)
{
    for (JobRecord& job : table->jobs) {
        if (job.id == 0)
            return &job;
    }
    return nullptr;
}

template <typename Change>
bool ChangeJob(DWORD jobId, Change change)
{
    LockedJobTable locked;
    JobRecord* job = locked.FindJob(jobId);
    if (job == nullptr)
        return false;
    change(*job);
    return true;
}

template <typename Change>
void ChangeTable(Change change)
{
    LockedJobTable locked;
    if (locked.Table() != nullptr)
        change(*locked.Table());
}

} // namespace

DWORD CreateJob(const std::wstring& printer, const std::wstring& document)
{
    if (printer.empty() || printer.size() >= kPrinterNameChars || document.size() >= kDocumentNameChars)
        return 0;
    LockedJobTable locked;
    if (locked.Table() == nullptr)
        return 0;
    JobRecord* job = FreeSlot(locked.Table());
    if (job == nullptr)
        return 0;
    *job = JobRecord{};
    job->id = ++locked.Table()->lastJobId;
    wcscpy(job->printer, printer.c_str());
    wcscpy(job->document, document.c_str());
    GetSystemTime(&job->submitted);
    return job->id;
}

bool SetJobStatusBits(DWORD jobId, DWORD bits)
{
    return ChangeJob(jobId, [bits](JobRecord& job) { job.status |= bits; });
}

bool ClearJobStatusBits(DWORD jobId, DWORD bits)
{
    return ChangeJob(jobId, [bits](JobRecord& job) { job.status &= ~bits; });
}

bool ReadJobStatus(DWORD jobId, DWORD* status)
{
    return ChangeJob(jobId, [status](JobRecord& job) { *status = job.status; });
}

std::vector<DWORD> JobCommands(DWORD jobId)
{
    std::vector<DWORD> commands;
    ChangeJob(jobId, [&commands](JobRecord& job) {
        const DWORD kept = job.commandCount < kMaxCommands ? job.commandCount : kMaxCommands;
        commands.assign(job.commands, job.commands + kept);
    });
    return commands;
}

DWORD JobCommandCount(DWORD jobId)
{
    DWORD count = 0;
    ChangeJob(jobId, [&count](JobRecord& job) { count = job.commandCount; });
    return count;
}

std::wstring JobStatusText(DWORD jobId)
{
    std::wstring text;
    ChangeJob(jobId, [&text](JobRecord& job) { text = job.statusText; });
    return text;
}

LONG OpenPrinterHandles()
{
    LONG handles = 0;
    ChangeTable([&handles](JobTable& table) { handles = table.openPrinterHandles; });
    return handles;
}

void InjectOpenPrinterFailure(DWORD error)
{
    ChangeTable([error](JobTable& table) { table.openPrinterFailure = error; });
}

void InjectGetJobFailure(DWORD error)
{
    ChangeTable([error](JobTable& table) { table.getJobFailure = error; });
}

void ResetSpooler()
{
    ChangeTable([](JobTable& table) {
        const DWORD lastJobId = table.lastJobId;
        table = JobTable{};
        table.lastJobId = lastJobId;
    });
}

} // namespace spooler
