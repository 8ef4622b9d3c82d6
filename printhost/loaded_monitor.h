#pragma once
#include <windows.h>
// Before the monitor table: winspool.h renames EnumPorts and its kin to their W forms.
#include <winspool.h>

#include <string>
#include <vector>

#include "common/scoped.h"
#include "monitor/core/monitor_table.h"

// The installed NMX_MON.dll loaded as the spooler loads it: by name (from the system directory,
// since no copy sits beside the program), then InitializePrintMonitor and its function table.
class LoadedMonitor {
public:
    LoadedMonitor();
    LoadedMonitor(const LoadedMonitor&) = delete;
    LoadedMonitor& operator=(const LoadedMonitor&) = delete;

    // Null when the library did not load or gave no table; Error() then says why.
    const MonitorFunctions* Functions() const { return table_ != nullptr ? &table_->functions : nullptr; }
    DWORD TableSize() const { return table_ != nullptr ? table_->size : 0; }
    HMODULE Module() const { return module_.Get(); }
    DWORD Error() const { return error_; }

private:
    ScopedLibrary module_;
    MonitorTable* table_ = nullptr;
    DWORD error_ = 0;
};

// A port as EnumPorts reports it; level 1 fills only the name.
struct ReportedPort {
    std::wstring name;
    std::wstring monitor;
    std::wstring description;
    DWORD type = 0;
};

// EnumPorts as the spooler calls it: first for the size, then with a buffer of that size. False
// with *error set when a call fails.
bool EnumMonitorPorts(const MonitorFunctions& monitor, DWORD level, std::vector<ReportedPort>* ports,
                      DWORD* error);
