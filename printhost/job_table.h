#pragma once
#include <windows.h>

#include "printhost/spooler_standin_control.h"

// The spooler stand-in's job table: one block of named shared memory (a paging-file mapping)
// guarded by a named mutex. Every process of the Wine session that opens it sees the same jobs;
// it lives as long as one process holds it open.

namespace spooler {

struct JobRecord {
    DWORD id;            // 0: a free slot
    DWORD status;        // JOB_STATUS_* bits
    DWORD commandCount;  // every SetJobW level-0 command received ...
    DWORD commands[kMaxCommands]; // ... of which the first kMaxCommands are kept, in order
    WCHAR printer[kPrinterNameChars];
    WCHAR document[kDocumentNameChars];
    WCHAR statusText[kStatusTextChars];
    SYSTEMTIME submitted;
};

struct JobTable {
    DWORD lastJobId;
    DWORD openPrinterFailure; // error code OpenPrinterW fails with; 0 for none
    DWORD getJobFailure;      // error code GetJobW fails with; 0 for none
    LONG openPrinterHandles;
    JobRecord jobs[kMaxJobs];
};

// Holds the table's mutex for its lifetime. Table() is nullptr when the shared memory could not
// be opened (then every operation of the stand-in fails).
class LockedJobTable {
public:
    LockedJobTable();
    ~LockedJobTable();
    LockedJobTable(const LockedJobTable&) = delete;
    LockedJobTable& operator=(const LockedJobTable&) = delete;

    JobTable* Table() const { return table_; }
    JobRecord* FindJob(DWORD jobId) const;
    bool HasPrinter(const WCHAR* printer) const;

private:
    JobTable* table_ = nullptr;
    HANDLE mutex_ = nullptr;
};

} // namespace spooler
