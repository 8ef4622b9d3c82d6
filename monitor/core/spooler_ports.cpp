#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_registration.h"
#include "monitor/core/port_settings.h"

#include <memory>

namespace {
constexpr WCHAR kSpoolerMonitors[] = L"System\\CurrentControlSet\\Control\\Print\\Monitors";

void FormatSpoolerPortsPath(WCHAR (&path)[MAX_PATH])
{
    wsprintfW(path, L"%s\\%s\\Ports", kSpoolerMonitors, g_monitorName);
}
} // namespace

LONG RegisterSpoolerPort(const WCHAR* portName)
{
    WCHAR path[MAX_PATH];
    FormatSpoolerPortsPath(path);
    ScopedKey ports;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY,
                                  nullptr, ports.Out(), nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    ScopedKey port;
    return RegCreateKeyExW(ports.Get(), portName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, port.Out(),
                           nullptr);
}

void UnregisterSpoolerPort(const WCHAR* portName)
{
    WCHAR path[MAX_PATH];
    FormatSpoolerPortsPath(path);
    ScopedKey ports;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, ports.Out()) == ERROR_SUCCESS)
        RegDeleteKeyW(ports.Get(), portName);
}

LONG PersistNewPort(const WCHAR* portName)
{
    ScopedBlock<PortSettings> settings(static_cast<PortSettings*>(AllocZeroed(sizeof(PortSettings))));
    if (!settings)
        return ERROR_NOT_ENOUGH_MEMORY;
    lstrcpynW(settings->PortName, portName, ARRAYSIZE(settings->PortName));
    LoadPortSettings(settings.Get()); // no key yet: the defaults
    const LONG saved = SavePortSettings(settings.Get());
    return saved != ERROR_SUCCESS ? saved : RegisterSpoolerPort(portName);
}
