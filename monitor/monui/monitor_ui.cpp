// InitializePrintMonitorUI: the add, configure and delete dialogs of the monitor's ports, shown in
// the process that asks for them (the system's printer settings, AddPortW and its kin), never in
// the spooler. Everything they read and store goes through the monitor's Xcv commands.
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/monui/xcv_connection.h"
#include "monitor/ui/add_port_steps.h"

#include <winsplp.h>

#include <memory>
#include <new>

namespace {

using SettingsCopy = std::unique_ptr<PortSettings>;

SettingsCopy NewSettings()
{
    return SettingsCopy(new (std::nothrow) PortSettings{});
}

// A port made only when its configuration is accepted: the first store adds it, and a
// configuration cancelled after a store that failed takes it away again.
class NewPortStore : public XcvSettingsStore {
public:
    using XcvSettingsStore::XcvSettingsStore;
    ~NewPortStore()
    {
        if (added_ && !stored_)
            connection_.CommandOnPort(L"DeletePort", name_);
    }
    void Load(PortSettings* settings) override
    {
        if (added_)
            XcvSettingsStore::Load(settings);
        else
            LoadPortSettings(settings); // no such port yet: the defaults
    }
    bool Store(const PortSettings& settings) override
    {
        lstrcpynW(name_, settings.PortName, ARRAYSIZE(name_));
        added_ = added_ || connection_.CommandOnPort(L"AddPort", name_) == ERROR_SUCCESS;
        stored_ = added_ && XcvSettingsStore::Store(settings);
        return stored_;
    }
    bool Kept() const { return stored_; } // the port stays once its configuration was stored

private:
    WCHAR name_[ARRAYSIZE(PortSettings{}.PortName)] = L"";
    bool added_ = false;
    bool stored_ = false;
};

// The monitor's ports as the monitor sees them, through Xcv.
class XcvNewPort : public NewPortTarget {
public:
    explicit XcvNewPort(XcvConnection& monitor) : monitor_(monitor) {}
    bool Exists(const WCHAR* name, DWORD* error) override
    {
        DWORD exists = 0;
        *error = monitor_.Command(L"PortExists", name, (lstrlenW(name) + 1) * sizeof(WCHAR), &exists, sizeof(exists));
        return *error == ERROR_SUCCESS && exists != 0;
    }
    bool AddAndConfigure(HWND window, const WCHAR* name) override
    {
        SettingsCopy settings = NewSettings();
        if (!settings)
            return false;
        lstrcpynW(settings->PortName, name, ARRAYSIZE(settings->PortName));
        NewPortStore store(monitor_);
        store.Load(settings.get());
        const bool shown = RunPortConfigDialog(window, settings.get(), false, store) != -1;
        if (store.Kept())
            lstrcpynW(added_, name, ARRAYSIZE(added_));
        return shown;
    }
    // The name of the port made, empty when none was.
    const WCHAR* Added() const { return added_; }

private:
    XcvConnection& monitor_;
    WCHAR added_[ARRAYSIZE(PortSettings{}.PortName)] = L"";
};

BOOL Refuse(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The spooler may pass the monitor's name to check, or none. As the system's own port UI does,
// a user who adds no port gets false with ERROR_CANCELLED, and the new port's name is handed out
// in global memory, which the caller frees with GlobalFree.
BOOL WINAPI AddPortUI(PCWSTR server, HWND window, PCWSTR monitorName, PWSTR* portNameOut)
{
    if (portNameOut != nullptr)
        *portNameOut = nullptr;
    if (monitorName != nullptr && lstrcmpiW(monitorName, g_monitorName) != 0)
        return Refuse(ERROR_INVALID_PARAMETER);
    XcvConnection monitor(server, XcvConnection::Object::Monitor, g_monitorName);
    if (!monitor)
        return FALSE; // OpenPrinterW's error
    // Taken before the dialogs, so that a port once made is never reported as a failure.
    constexpr SIZE_T kNameBytes = sizeof(PortSettings{}.PortName);
    ScopedBlock<WCHAR> name(portNameOut != nullptr ? static_cast<WCHAR*>(AllocZeroed(kNameBytes)) : nullptr);
    if (portNameOut != nullptr && !name)
        return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    XcvNewPort target(monitor);
    if (!RunAddPortSteps(window, target))
        return FALSE;
    if (target.Added()[0] == L'\0')
        return Refuse(ERROR_CANCELLED);
    if (portNameOut != nullptr) {
        lstrcpynW(name.Get(), target.Added(), static_cast<int>(kNameBytes / sizeof(WCHAR)));
        *portNameOut = name.Release();
    }
    return TRUE;
}

BOOL WINAPI ConfigurePortUI(PCWSTR server, HWND window, PCWSTR portName)
{
    if (portName == nullptr)
        return Refuse(ERROR_INVALID_PARAMETER);
    XcvConnection port(server, XcvConnection::Object::Port, portName);
    SettingsCopy settings = NewSettings();
    if (!port)
        return FALSE;
    if (!settings)
        return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    const DWORD loaded = port.LoadSettings(portName, settings.get());
    if (loaded != ERROR_SUCCESS)
        return Refuse(loaded);
    XcvSettingsStore store(port);
    const INT_PTR result = RunPortConfigDialog(window, settings.get(), false, store);
    if (result == -1)
        return FALSE;
    return result == 1 ? TRUE : Refuse(ERROR_CANCELLED); // as for AddPortUI
}

BOOL WINAPI DeletePortUI(PCWSTR server, HWND /*window*/, PCWSTR portName)
{
    if (portName == nullptr)
        return Refuse(ERROR_INVALID_PARAMETER);
    XcvConnection monitor(server, XcvConnection::Object::Monitor, g_monitorName);
    if (!monitor)
        return FALSE;
    const DWORD error = monitor.CommandOnPort(L"DeletePort", portName);
    return error == ERROR_SUCCESS ? TRUE : Refuse(error);
}

MONITORUI g_monitorUi = {sizeof(MONITORUI), AddPortUI, ConfigurePortUI, DeletePortUI};
} // namespace

extern "C" PMONITORUI WINAPI InitializePrintMonitorUI()
{
    return &g_monitorUi;
}
