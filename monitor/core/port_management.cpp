#include "monitor/core/entry_points.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/port_registration.h"
#include "monitor/ui/add_port_steps.h"
#include "monitor/core/port_config.h"
#include "monitor/ui/dialogs.h"

#include <winspool.h>

namespace {
constexpr DWORD kAnyLevel = 0xFFFFFFFF;

// Lets the dialogs of the calling spooler thread take the foreground from the parent window.
class InputAttachment {
public:
    explicit InputAttachment(HWND parent)
        : self_(GetCurrentThreadId()), other_(parent != nullptr ? GetWindowThreadProcessId(parent, nullptr) : 0)
    {
        if (other_ != 0 && other_ != self_)
            AttachThreadInput(self_, other_, TRUE);
    }
    ~InputAttachment()
    {
        if (other_ != 0 && other_ != self_)
            AttachThreadInput(self_, other_, FALSE);
    }
    InputAttachment(const InputAttachment&) = delete;
    InputAttachment& operator=(const InputAttachment&) = delete;

private:
    DWORD self_;
    DWORD other_;
};

// The spooler library is needed for new ports; it stays loaded once found.
bool SpoolerLibraryAvailable(DWORD* error)
{
    static HMODULE spooler = nullptr;
    if (spooler != nullptr)
        return true;
    ScopedLibrary library(LoadLibraryW(L"SPOOLSS.DLL"));
    if (!library || GetProcAddress(library.Get(), "EnumPortsW") == nullptr) {
        *error = GetLastError();
        return false;
    }
    spooler = library.Release();
    return true;
}

bool RegistryHasPort(const WCHAR* name)
{
    const ScopedKey root = OpenMachineKey(kRegistryRoot, KEY_READ);
    if (!root)
        return false;
    bool found = false;
    WCHAR subkey[256];
    for (DWORD index = 0; !found; ++index) {
        DWORD chars = ARRAYSIZE(subkey);
        const LONG result = RegEnumKeyExW(root.Get(), index, subkey, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        found = result == ERROR_SUCCESS && lstrcmpiW(subkey, name) == 0;
    }
    return found;
}

// The monitor's own list and registry.
class ListedNewPort : public NewPortTarget {
public:
    bool Exists(const WCHAR* name, DWORD* error) override { return IsPortRegistered(name, error); }
    bool AddAndConfigure(HWND window, const WCHAR* name) override
    {
        PortEntry* entry = nullptr;
        {
            MonitorLockGuard lock;
            entry = AddPortEntry(name);
            if (entry == nullptr)
                return false;
            AcquirePortEntry(entry); // the dialog runs without the lock
        }
        // The configuration dialog's OK creates the port's key; a cancelled one leaves no port.
        const bool cancelled = ShowPortConfigDialog(window, entry) == 0;
        MonitorLockGuard lock;
        if (cancelled && !HasFlag(entry, kFlagRemoved))
            RemovePortEntry(entry);
        ReleasePortEntry(entry);
        return true;
    }
};
} // namespace

bool IsPortRegistered(const WCHAR* name, DWORD* error)
{
    *error = ERROR_SUCCESS;
    if (!SpoolerLibraryAvailable(error))
        return false;
    MonitorLockGuard lock;
    return RegistryHasPort(name) || FindPortEntry(name) != nullptr;
}

bool IsThisMonitor(const WCHAR* monitorName)
{
    return monitorName != nullptr && lstrcmpiW(monitorName, g_monitorName) == 0;
}

DWORD RemovePort(const WCHAR* portName)
{
    MonitorLockGuard lock;
    PortEntry* entry = FindPortEntry(portName);
    if (entry == nullptr)
        return ERROR_UNKNOWN_PORT;
    // The job's settings and files live in the entry until the job ends.
    if (HasFlag(entry, kFlagJobInProgress))
        return ERROR_BUSY;
    RemovePortEntry(entry);
    DeletePortSettings(portName);
    return ERROR_SUCCESS;
}

BOOL WINAPI NmxAddPort(LPWSTR /*serverName*/, HWND window, LPWSTR monitorName)
{
    if (!IsThisMonitor(monitorName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    InputAttachment attachment(window);
    ListedNewPort target;
    return RunAddPortSteps(window, target);
}

namespace {
// Why a port cannot be added without dialog, or ERROR_SUCCESS.
DWORD RefusalOfAddPortEx(DWORD level, const WCHAR* name, const WCHAR* monitorName)
{
    if (!IsThisMonitor(monitorName))
        return ERROR_INVALID_PARAMETER;
    if (level != 1 && level != kAnyLevel)
        return ERROR_INVALID_LEVEL;
    if (name == nullptr)
        return ERROR_INVALID_PARAMETER;
    DWORD error = ERROR_SUCCESS;
    return IsPortRegistered(name, &error) ? ERROR_INVALID_PARAMETER : error;
}
} // namespace

BOOL WINAPI NmxAddPortEx(LPWSTR /*serverName*/, DWORD level, LPBYTE buffer, LPWSTR monitorName)
{
    const WCHAR* name = buffer != nullptr ? reinterpret_cast<PORT_INFO_1W*>(buffer)->pName : nullptr;
    MonitorLockGuard lock; // from the check to the add
    const DWORD error = RefusalOfAddPortEx(level, name, monitorName);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return AddPortEntry(name) != nullptr;
}

BOOL WINAPI NmxConfigurePort(LPWSTR /*serverName*/, HWND window, LPWSTR portName)
{
    InputAttachment attachment(window);
    MonitorLockGuard lock;
    PortEntry* entry = FindPortEntry(portName);
    if (entry == nullptr) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    // While a job is open the settings belong to the job: nothing is shown.
    if (!HasFlag(entry, kFlagJobInProgress))
        ShowPortConfigDialog(window, entry);
    return TRUE;
}

BOOL WINAPI NmxDeletePort(LPWSTR /*serverName*/, HWND /*window*/, LPWSTR portName)
{
    const DWORD error = RemovePort(portName);
    // A name not in the list sets no error code.
    if (error != ERROR_SUCCESS && error != ERROR_UNKNOWN_PORT)
        SetLastError(error);
    return error == ERROR_SUCCESS;
}
