// XcvData: the commands the UI library (and the system's printer settings) send the monitor.
// "MonitorUI", "PortExists", "AddPort" and "DeletePort" take and give what the system's own port
// monitors do (a port name in, a DWORD or the library name out); "GetPortSettings" and
// "SetPortSettings" carry one port's settings as the block of xcv_settings.h.
#include "monitor/core/entry_points.h"
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/port_registration.h"
#include "monitor/core/protected_password.h"
#include "monitor/core/xcv_settings.h"
#include "monitor/core/xcv_settings_copy.h"
#include "monitor/ui/add_port_steps.h"
#include "monitor/ui/port_name_rule.h"

#include <winspool.h>

#include <cstring>
#include <memory>

namespace {
constexpr DWORD kXcvSignature = 0x5843; // "CX"
constexpr WCHAR kMonitorUiLibrary[] = L"NMX_MONUI.dll";

// An open Xcv handle: for the monitor (empty port) or for one port.
struct XcvHandle {
    DWORD signature;
    ACCESS_MASK access;
    WCHAR port[kXcvPortNameUnits];
};

XcvHandle* XcvFromHandle(HANDLE handle)
{
    auto* xcv = static_cast<XcvHandle*>(handle);
    return xcv != nullptr && xcv->signature == kXcvSignature ? xcv : nullptr;
}

bool MayAdminister(const XcvHandle* xcv)
{
    return (xcv->access & SERVER_ACCESS_ADMINISTER) != 0;
}

DWORD GiveOutput(const void* data, DWORD bytes, PBYTE output, DWORD outputSize, PDWORD outputNeeded)
{
    if (outputNeeded != nullptr)
        *outputNeeded = bytes;
    if (output == nullptr || outputSize < bytes)
        return ERROR_INSUFFICIENT_BUFFER;
    CopyMemory(output, data, bytes);
    return ERROR_SUCCESS;
}

// A port name as input: terminated within the input's bytes and at most 31 characters. The
// input need not be aligned, so it is copied unit by unit.
bool ReadPortName(const BYTE* input, DWORD inputSize, WCHAR (&name)[kXcvPortNameUnits])
{
    if (input == nullptr)
        return false;
    const DWORD units = inputSize / sizeof(WCHAR);
    for (DWORD i = 0; i < units && i < kXcvPortNameUnits; ++i) {
        std::memcpy(&name[i], input + i * sizeof(WCHAR), sizeof(WCHAR));
        if (name[i] == L'\0')
            return true;
    }
    return false;
}

// The port a command is about: the handle's own port, else the name given as input.
bool CommandPort(const XcvHandle* xcv, const BYTE* input, DWORD inputSize, WCHAR (&name)[kXcvPortNameUnits])
{
    if (xcv->port[0] != L'\0' && (input == nullptr || inputSize == 0)) {
        lstrcpynW(name, xcv->port, kXcvPortNameUnits);
        return true;
    }
    return ReadPortName(input, inputSize, name) && name[0] != L'\0';
}

bool IsListedPort(const WCHAR* name)
{
    MonitorLockGuard lock;
    return IsMonitorPortName(name) && FindPortEntry(name) != nullptr;
}

using PortSettingsBlock = ScopedBlock<PortSettings>;
PortSettingsBlock NewPortSettings()
{
    return PortSettingsBlock(static_cast<PortSettings*>(AllocZeroed(sizeof(PortSettings))));
}

DWORD PortExists(const BYTE* input, DWORD inputSize, PBYTE output, DWORD outputSize, PDWORD outputNeeded)
{
    WCHAR name[kXcvPortNameUnits];
    if (!ReadPortName(input, inputSize, name))
        return ERROR_INVALID_PARAMETER;
    DWORD error = ERROR_SUCCESS;
    const DWORD exists = IsPortRegistered(name, &error) ? 1 : 0;
    if (error != ERROR_SUCCESS)
        return error;
    return GiveOutput(&exists, sizeof(exists), output, outputSize, outputNeeded);
}

// A new port as the add-port dialog would make it: the name's rule, no such port yet, the prefix
// in capitals; its key holds the default settings until the configuration stores its own.
DWORD AddNewPort(const XcvHandle* xcv, const BYTE* input, DWORD inputSize)
{
    if (!MayAdminister(xcv))
        return ERROR_ACCESS_DENIED;
    WCHAR name[kXcvPortNameUnits];
    if (!ReadPortName(input, inputSize, name) || !IsValidPortName(name))
        return ERROR_INVALID_NAME;
    {
        MonitorLockGuard lock; // from the check to the add
        DWORD error = ERROR_SUCCESS;
        if (IsPortRegistered(name, &error))
            return ERROR_ALREADY_EXISTS;
        if (error != ERROR_SUCCESS)
            return error;
        UpperCasePrefix(name);
        if (AddPortEntry(name) == nullptr)
            return ERROR_NOT_ENOUGH_MEMORY;
    }
    const LONG persisted = PersistNewPort(name);
    if (persisted != ERROR_SUCCESS)
        RemovePort(name);
    return static_cast<DWORD>(persisted);
}

DWORD DeleteExistingPort(const XcvHandle* xcv, const BYTE* input, DWORD inputSize)
{
    if (!MayAdminister(xcv))
        return ERROR_ACCESS_DENIED;
    WCHAR name[kXcvPortNameUnits];
    if (!CommandPort(xcv, input, inputSize, name))
        return ERROR_INVALID_PARAMETER;
    const DWORD error = RemovePort(name);
    if (error == ERROR_SUCCESS)
        UnregisterSpoolerPort(name);
    return error;
}

DWORD GetPortSettings(const XcvHandle* xcv, const BYTE* input, DWORD inputSize, PBYTE output, DWORD outputSize,
                      PDWORD outputNeeded)
{
    WCHAR name[kXcvPortNameUnits];
    if (!CommandPort(xcv, input, inputSize, name))
        return ERROR_INVALID_PARAMETER;
    if (outputNeeded != nullptr)
        *outputNeeded = kXcvSettingsBytes;
    if (output == nullptr || outputSize < kXcvSettingsBytes)
        return ERROR_INSUFFICIENT_BUFFER;
    if (!IsListedPort(name))
        return ERROR_UNKNOWN_PORT;
    PortSettingsBlock settings = NewPortSettings();
    auto block = std::make_unique<XcvSettings>();
    if (!settings || !block)
        return ERROR_NOT_ENOUGH_MEMORY;
    lstrcpynW(settings->PortName, name, ARRAYSIZE(settings->PortName));
    LoadPortSettings(settings.Get());
    CopySettings(*settings, block.get());
    block->flags = settings->SMTPPasswordBytes != 0 ? kXcvPasswordStored : 0;
    WriteXcvSettings(*block, output);
    return ERROR_SUCCESS;
}

// Protected bytes that the spooler cannot decrypt would fail every job at the login: refused
// when they are stored instead.
bool IsReadablePassword(const uint8_t* bytes, DWORD count)
{
    char password[4 * kMaxPasswordChars + 1];
    const bool readable = ReadProtectedPassword(bytes, count, password, sizeof password);
    SecureZeroMemory(password, sizeof password);
    return readable;
}

// What the block asks for the stored password, which *settings holds as loaded.
bool ApplyPasswordAction(const XcvSettings& block, PortSettings* settings)
{
    switch (block.passwordAction) {
    case PasswordAction::Keep:
        return true;
    case PasswordAction::Remove:
        SecureZeroMemory(settings->SMTPPassword, sizeof(settings->SMTPPassword));
        settings->SMTPPasswordBytes = 0;
        return true;
    case PasswordAction::Replace:
        static_assert(sizeof(block.password) <= sizeof(settings->SMTPPassword), "the block's bytes fit the record");
        if (!IsReadablePassword(block.password, block.passwordBytes))
            return false;
        CopyMemory(settings->SMTPPassword, block.password, block.passwordBytes);
        settings->SMTPPasswordBytes = block.passwordBytes;
        return true;
    }
    return false;
}

// Stored by the monitor only after every field passed the checks of the dialog and the load.
// A job open on the port keeps the settings it started with; the next job has the new ones.
DWORD SetPortSettings(const XcvHandle* xcv, const BYTE* input, DWORD inputSize)
{
    if (!MayAdminister(xcv))
        return ERROR_ACCESS_DENIED;
    auto block = std::make_unique<XcvSettings>();
    PortSettingsBlock settings = NewPortSettings();
    if (!settings || !block)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (ReadXcvSettings(input, inputSize, block.get()) != XcvReadError::None)
        return ERROR_INVALID_DATA;
    CopySettingsText(settings->PortName, block->PortName);
    if (xcv->port[0] != L'\0' && lstrcmpiW(xcv->port, settings->PortName) != 0)
        return ERROR_INVALID_PARAMETER;
    if (!IsListedPort(settings->PortName))
        return ERROR_UNKNOWN_PORT;
    LoadPortSettings(settings.Get()); // the stored password, which the block names only by an action
    CopySettings(*block, settings.Get());
    if (!ApplyPasswordAction(*block, settings.Get()))
        return ERROR_INVALID_DATA;
    return static_cast<DWORD>(SavePortSettings(settings.Get()));
}
} // namespace

BOOL WINAPI NmxXcvOpenPort(LPCWSTR object, ACCESS_MASK grantedAccess, PHANDLE xcv)
{
    if (xcv == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool forMonitor = object == nullptr || object[0] == L'\0' || IsThisMonitor(object);
    if (!forMonitor && (lstrlenW(object) >= static_cast<int>(kXcvPortNameUnits) || !IsListedPort(object))) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    auto* handle = static_cast<XcvHandle*>(AllocZeroed(sizeof(XcvHandle)));
    if (handle == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    handle->signature = kXcvSignature;
    handle->access = grantedAccess;
    if (!forMonitor)
        lstrcpynW(handle->port, object, kXcvPortNameUnits);
    *xcv = handle;
    return TRUE;
}

DWORD WINAPI NmxXcvDataPort(HANDLE handle, LPCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                            DWORD outputSize, PDWORD outputNeeded)
{
    const XcvHandle* xcv = XcvFromHandle(handle);
    if (xcv == nullptr)
        return ERROR_INVALID_HANDLE;
    if (dataName == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (lstrcmpW(dataName, L"MonitorUI") == 0)
        return GiveOutput(kMonitorUiLibrary, sizeof(kMonitorUiLibrary), output, outputSize, outputNeeded);
    if (lstrcmpW(dataName, L"PortExists") == 0)
        return PortExists(input, inputSize, output, outputSize, outputNeeded);
    if (lstrcmpW(dataName, L"AddPort") == 0)
        return AddNewPort(xcv, input, inputSize);
    if (lstrcmpW(dataName, L"DeletePort") == 0)
        return DeleteExistingPort(xcv, input, inputSize);
    if (lstrcmpW(dataName, L"GetPortSettings") == 0)
        return GetPortSettings(xcv, input, inputSize, output, outputSize, outputNeeded);
    if (lstrcmpW(dataName, L"SetPortSettings") == 0)
        return SetPortSettings(xcv, input, inputSize);
    return ERROR_INVALID_PARAMETER;
}

BOOL WINAPI NmxXcvClosePort(HANDLE handle)
{
    XcvHandle* xcv = XcvFromHandle(handle);
    if (xcv == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    xcv->signature = 0;
    GlobalFree(xcv);
    return TRUE;
}
