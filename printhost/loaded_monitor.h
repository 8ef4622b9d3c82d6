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

// The installed NMX_MON.dll loaded through its modern interface, InitializePrintMonitor2, as
// Wine's spooler loads it; Shutdown is called before the library is freed.
class LoadedMonitor2 {
public:
    LoadedMonitor2();
    ~LoadedMonitor2();
    LoadedMonitor2(const LoadedMonitor2&) = delete;
    LoadedMonitor2& operator=(const LoadedMonitor2&) = delete;

    // Null when the library did not load or gave no table.
    const Monitor2Table* Table() const { return table_; }
    HANDLE Handle() const { return handle_; }
    // One XcvData command through a handle of its own on the object ("" for the monitor, or a
    // port) opened with the access given: its result, or XcvOpenPort's error.
    DWORD Xcv(const wchar_t* object, ACCESS_MASK access, const wchar_t* command, const std::vector<BYTE>& input,
              std::vector<BYTE>* output, DWORD* needed) const;

private:
    ScopedLibrary module_;
    HANDLE handle_ = nullptr;
    Monitor2Table* table_ = nullptr;
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
