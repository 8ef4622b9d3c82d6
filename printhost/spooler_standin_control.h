#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Control of the spooler stand-in (the winspool.drv and spoolss.dll that sit beside the print host
// and the Wine tests in place of Wine's own). Its job table is shared by every process of the Wine
// session: a test or `printhost deletejob` can change a job while the monitor is blocked inside a
// delivery in another thread or process. The table lives while one process holds it open.
//
// OpenPrinterW opens only printers that some job of the table names; GetJobW answers level 2;
// SetJobW level 0 records every command in the job's log (JOB_CONTROL_CANCEL and
// JOB_CONTROL_DELETE mark the job deleting, JOB_CONTROL_LAST_PAGE_EJECTED marks it printed), and
// level 2 keeps the job's status text.

namespace spooler {

constexpr DWORD kMaxJobs = 64;
constexpr DWORD kMaxCommands = 32;         // commands kept per job
constexpr DWORD kPrinterNameChars = 128;   // capacities, terminator included
constexpr DWORD kDocumentNameChars = 261;
constexpr DWORD kStatusTextChars = 1025;

// A new job on the printer (which OpenPrinterW then knows) with that document name; an empty
// name makes GetJobW report no document. Returns the job id, or 0 when the table is full, a name
// is too long or the table cannot be opened.
DWORD CreateJob(const std::wstring& printer, const std::wstring& document);

// Change a job's status bits (JOB_STATUS_DELETING, JOB_STATUS_ERROR, ...); false for no such job.
bool SetJobStatusBits(DWORD jobId, DWORD bits);
bool ClearJobStatusBits(DWORD jobId, DWORD bits);
bool ReadJobStatus(DWORD jobId, DWORD* status);

// Every SetJobW level-0 command the job received, in order (at most kMaxCommands), and the number
// received in all.
std::vector<DWORD> JobCommands(DWORD jobId);
DWORD JobCommandCount(DWORD jobId);
// The status text last set with SetJobW level 2; empty when none was.
std::wstring JobStatusText(DWORD jobId);

// Printer handles opened and not yet closed, over all processes.
LONG OpenPrinterHandles();

// Failures to inject: the call fails with this error code until it is set to 0 again.
void InjectOpenPrinterFailure(DWORD error);
void InjectGetJobFailure(DWORD error);

// Removes every job and injected failure; job ids go on counting.
void ResetSpooler();

} // namespace spooler
