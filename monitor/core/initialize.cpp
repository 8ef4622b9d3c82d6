#include "common/scoped.h"
#include "monitor/core/entry_points.h"
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/monitor_table.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/spool_name.h"


namespace {
MonitorTable g_monitorTable = {
    sizeof(MonitorFunctions),
    {
        NmxEnumPorts,
        NmxOpenPort,
        nullptr, // OpenPortEx is not provided
        NmxStartDocPort,
        NmxWritePort,
        NmxReadPort,
        NmxEndDocPort,
        NmxClosePort,
        NmxAddPort,
        NmxAddPortEx,
        NmxConfigurePort,
        NmxDeletePort,
        NmxGetPrinterDataFromPort,
        NmxSetPortTimeOuts,
    },
};

// Spool, part and encoded files left behind by an interrupted run. Only names the monitor makes
// go: the directory may hold other files, "PreDef.ADR" of the address book among them.
void DeleteStaleJobFiles()
{
    WCHAR spoolDir[kDirectoryChars];
    ReadSpoolDirectory(spoolDir);
    if (spoolDir[0] == L'\0')
        return;
    WCHAR pattern[MAX_PATH + 16];
    wsprintfW(pattern, L"%s\\*", spoolDir);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsMonitorJobFileName(found.cFileName))
            continue;
        WCHAR path[MAX_PATH * 2];
        wsprintfW(path, L"%s\\%s", spoolDir, found.cFileName);
        DeleteFileW(path);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Every subkey of the registry root becomes a port entry, the version key "1.64" included.
void AddPortsFromRegistry()
{
    const ScopedKey root = OpenMachineKey(kRegistryRoot, KEY_READ);
    if (!root)
        return;
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(root.Get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        ScopedBlock<WCHAR> name(static_cast<WCHAR*>(AllocZeroed((longest + 1) * sizeof(WCHAR))));
        if (name) {
            MonitorLockGuard lock;
            for (DWORD index = 0; index < count; ++index) {
                DWORD chars = longest + 1;
                if (RegEnumKeyExW(root.Get(), index, name.Get(), &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                    AddPortEntry(name.Get());
            }
        }
    }
    RegFlushKey(root.Get());
}
} // namespace

void LoadPortList()
{
    DeleteStaleJobFiles();
    AddPortsFromRegistry();
}

extern "C" MonitorTable* WINAPI InitializePrintMonitor(LPWSTR /*registryRoot*/)
{
    LoadPortList();
    return &g_monitorTable;
}
