#pragma once
#include <windows.h>
// Before the monitor table: winspool.h renames EnumPorts and its kin to their W forms.
#include <winspool.h>

#include <functional>
#include <string>

#include "monitor/core/monitor_table.h"

// A job printed to a port as the spooler does it: a job of the stand-in's table, OpenPort,
// StartDocPort with a DOC_INFO_1 of the document name, WritePort in buffers of at most bufferSize
// bytes, EndDocPort and ClosePort.
struct PrintRequest {
    std::wstring port;
    std::wstring printer = L"Velloprint Test Printer";
    std::wstring document;
    DWORD bufferSize = 4096;
    // Fills the buffer with the job's next bytes; returns how many, 0 at the end, -1 on failure.
    std::function<long(BYTE* buffer, DWORD capacity)> read;
    std::function<void(DWORD jobId)> started;          // called once the job exists
    std::function<void(ULONGLONG written)> progress;   // called after every buffer
};

struct PrintOutcome {
    DWORD jobId = 0;
    ULONGLONG written = 0;
    std::wstring failedStep; // empty on success
    DWORD error = 0;         // last-error code of the failed step
    double endDocSeconds = 0; // how long EndDocPort took: the mail's encoding and delivery
};

PrintOutcome PrintJob(const MonitorFunctions& monitor, const PrintRequest& request);
