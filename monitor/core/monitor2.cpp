// The spooler's modern interface: InitializePrintMonitor2 and its table. The entry points share
// the legacy ones' code; the port dialogs are not in this table (the spooler asks the UI library,
// NMX_MONUI.dll, for them, and that library stores through Xcv).
#include "monitor/core/entry_points.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/monitor_table.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/port_handle.h"
#include "monitor/core/port_registration.h"

#include <winspool.h>

namespace {
extern Monitor2Table g_monitor2Table;

// The monitor handle InitializePrintMonitor2 hands out is the table itself.
bool IsOurMonitor(HANDLE monitor)
{
    return monitor == &g_monitor2Table;
}

BOOL WINAPI EnumPorts2(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE ports, DWORD bufferSize,
                       LPDWORD bytesNeeded, LPDWORD countReturned)
{
    if (!IsOurMonitor(monitor))
        return RefuseHandle();
    return NmxEnumPorts(name, level, ports, bufferSize, bytesNeeded, countReturned);
}

BOOL WINAPI OpenPort2(HANDLE monitor, LPWSTR name, PHANDLE port)
{
    if (!IsOurMonitor(monitor))
        return RefuseHandle();
    return NmxOpenPort(name, port);
}

// As the legacy AddPortEx, and kept: the spooler may unload the monitor after any call (Wine's
// does after each one), and a port that lives only in the list would be gone with it.
BOOL WINAPI AddPortEx2(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE buffer, LPWSTR monitorName)
{
    if (!IsOurMonitor(monitor))
        return RefuseHandle();
    if (!NmxAddPortEx(name, level, buffer, monitorName))
        return FALSE;
    const WCHAR* portName = reinterpret_cast<PORT_INFO_1W*>(buffer)->pName;
    const LONG error = PersistNewPort(portName);
    if (error == ERROR_SUCCESS)
        return TRUE;
    RemovePort(portName);
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
}

BOOL WINAPI XcvOpenPort2(HANDLE monitor, LPCWSTR object, ACCESS_MASK grantedAccess, PHANDLE xcv)
{
    if (!IsOurMonitor(monitor))
        return RefuseHandle();
    return NmxXcvOpenPort(object, grantedAccess, xcv);
}

// The library is about to be freed: the port list goes with it.
VOID WINAPI Shutdown2(HANDLE monitor)
{
    if (!IsOurMonitor(monitor))
        return;
    MonitorLockGuard lock;
    while (PortEntry* entry = FirstPortEntry())
        RemovePortEntry(entry);
}

// Ports made before (by the legacy dialogs, the installer or an earlier version) get the
// spooler's record too, so that their jobs find the monitor.
void RegisterListedPorts()
{
    MonitorLockGuard lock;
    for (PortEntry* entry = FirstPortEntry(); entry != nullptr; entry = entry->next) {
        if (IsMonitorPortName(entry->name))
            RegisterSpoolerPort(entry->name);
    }
}

Monitor2Table g_monitor2Table = {
    sizeof(Monitor2Table),
    EnumPorts2,
    OpenPort2,
    nullptr, // OpenPortEx is not provided
    NmxStartDocPort,
    NmxWritePort,
    NmxReadPort,
    NmxEndDocPort,
    NmxClosePort,
    nullptr, // AddPort: NMX_MONUI.dll
    AddPortEx2,
    nullptr, // ConfigurePort: NMX_MONUI.dll
    nullptr, // DeletePort: NMX_MONUI.dll
    NmxGetPrinterDataFromPort,
    NmxSetPortTimeOuts,
    XcvOpenPort2,
    NmxXcvDataPort,
    NmxXcvClosePort,
    Shutdown2,
};
} // namespace

extern "C" Monitor2Table* WINAPI InitializePrintMonitor2(void* /*monitorInit*/, PHANDLE monitor)
{
    if (monitor == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    g_spoolerShowsNothing = true;
    LoadPortList();
    RegisterListedPorts();
    *monitor = &g_monitor2Table;
    return &g_monitor2Table;
}
