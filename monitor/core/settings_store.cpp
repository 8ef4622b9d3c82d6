#include "monitor/core/memory.h"
#include "monitor/core/port_settings.h"
#include "monitor/core/stored_numbers.h"

#include <cwchar>
#include <initializer_list>

namespace {
void FormatPortKeyPath(const WCHAR* portName, WCHAR* path)
{
    wsprintfW(path, L"%s\\%s", kRegistryRoot, portName);
}

// Reads a string value of at most maxChars characters into field (capacity maxChars + 1). Values
// are stored without a terminator; one that carries a terminator anyway is accepted too. A longer
// value, or one that cannot be read, leaves the field as it is.
void ReadStringValue(HKEY key, const WCHAR* name, WCHAR* field, DWORD maxChars)
{
    const DWORD capacity = maxChars + 2; // room for a stored terminator and our own
    WCHAR stackBuffer[260];
    ScopedBlock<WCHAR> heapBuffer;
    WCHAR* buffer = stackBuffer;
    if (capacity > ARRAYSIZE(stackBuffer)) {
        heapBuffer.Reset(static_cast<WCHAR*>(AllocZeroed(capacity * sizeof(WCHAR))));
        buffer = heapBuffer.Get();
    }
    if (buffer == nullptr)
        return;
    DWORD bytes = (maxChars + 1) * sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &bytes) == ERROR_SUCCESS) {
        const DWORD chars = bytes / sizeof(WCHAR);
        buffer[chars] = L'\0';
        const size_t length = wcslen(buffer);
        if (length <= maxChars)
            lstrcpynW(field, buffer, maxChars + 1);
    }
}

// Reads a 4-byte number into field. One of another size, or outside the range the configuration
// dialog stores, leaves the field as it is.
template <typename Number> void ReadNumberValue(HKEY key, const WCHAR* name, Number* field, NumberRange range)
{
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &bytes) == ERROR_SUCCESS &&
        bytes == sizeof(value) && range.Holds(value))
        *field = static_cast<Number>(value);
}

LONG WriteStringValue(HKEY key, const WCHAR* name, const WCHAR* text)
{
    // Stored without the terminating null.
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenW(text) * sizeof(WCHAR)));
}

LONG WriteNumberValue(HKEY key, const WCHAR* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG FirstFailure(std::initializer_list<LONG> results)
{
    for (LONG result : results) {
        if (result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

void SetDefaults(PortSettings* settings)
{
    settings->ServAddr[0] = L'\0';
    settings->UserAddr[0] = L'\0';
    settings->SMTPAddr[0] = L'\0';
    settings->ServName[0] = L'\0';
    settings->NotifyAddr[0] = L'\0';
    settings->Notification = 0;
    settings->ShowSw = 1;
    settings->PartLimit = 1024;
    settings->PartSw = 0;
    settings->CheckMailSw = 1;
}

void ReadGlobalDirectory(const WCHAR* valueName, WCHAR* out)
{
    out[0] = L'\0';
    const ScopedKey key = OpenVersionKey(KEY_READ);
    if (!key)
        return;
    // At most 129 characters; the read limit is 260 bytes, terminator included.
    WCHAR buffer[kDirectoryChars + 1];
    DWORD bytes = kDirectoryChars * sizeof(WCHAR);
    if (RegQueryValueExW(key.Get(), valueName, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &bytes) != ERROR_SUCCESS)
        return;
    buffer[bytes / sizeof(WCHAR)] = L'\0';
    if (wcslen(buffer) < kDirectoryChars)
        lstrcpynW(out, buffer, kDirectoryChars);
}
} // namespace

void LoadPortSettings(PortSettings* settings)
{
    SetDefaults(settings);
    WCHAR path[64 + ARRAYSIZE(settings->PortName)];
    FormatPortKeyPath(settings->PortName, path);
    const ScopedKey key = OpenMachineKey(path, KEY_READ);
    if (!key)
        return;
    ReadStringValue(key.Get(), L"ServAddr", settings->ServAddr, kMaxServAddrChars);
    ReadStringValue(key.Get(), L"ServName", settings->ServName, kMaxServNameChars);
    ReadStringValue(key.Get(), L"UserAddr", settings->UserAddr, kMaxUserAddrChars);
    ReadStringValue(key.Get(), L"SMTPAddr", settings->SMTPAddr, kMaxSmtpAddrChars);
    ReadStringValue(key.Get(), L"NotifyAddr", settings->NotifyAddr, kMaxNotifyAddrChars);
    ReadNumberValue(key.Get(), L"Notification", &settings->Notification, kNotificationRange);
    ReadNumberValue(key.Get(), L"ShowSw", &settings->ShowSw, kSwitchRange);
    ReadNumberValue(key.Get(), L"CheckMailSw", &settings->CheckMailSw, kSwitchRange);
    ReadNumberValue(key.Get(), L"PartLimit", &settings->PartLimit, kPartLimitKbRange);
    ReadNumberValue(key.Get(), L"PartSw", &settings->PartSw, kSwitchRange);
}

LONG SavePortSettings(const PortSettings* settings)
{
    WCHAR path[64 + ARRAYSIZE(settings->PortName)];
    FormatPortKeyPath(settings->PortName, path);
    ScopedKey key;
    const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, key.Out(), nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    // Every value is written even after a failure; the first failure is the result. The elements
    // of a braced list are evaluated in order.
    const LONG written = FirstFailure({
        WriteStringValue(key.Get(), L"ServAddr", settings->ServAddr),
        WriteStringValue(key.Get(), L"ServName", settings->ServName),
        WriteStringValue(key.Get(), L"UserAddr", settings->UserAddr),
        WriteStringValue(key.Get(), L"SMTPAddr", settings->SMTPAddr),
        WriteStringValue(key.Get(), L"NotifyAddr", settings->NotifyAddr),
        WriteNumberValue(key.Get(), L"Notification", settings->Notification),
        WriteNumberValue(key.Get(), L"ShowSw", static_cast<DWORD>(settings->ShowSw)),
        WriteNumberValue(key.Get(), L"CheckMailSw", static_cast<DWORD>(settings->CheckMailSw)),
        WriteNumberValue(key.Get(), L"PartLimit", settings->PartLimit),
        WriteNumberValue(key.Get(), L"PartSw", static_cast<DWORD>(settings->PartSw)),
    });
    RegFlushKey(key.Get());
    const LONG closed = RegCloseKey(key.Release());
    return written != ERROR_SUCCESS ? written : closed;
}

void DeletePortSettings(const WCHAR* portName)
{
    const ScopedKey root = OpenMachineKey(kRegistryRoot, KEY_ALL_ACCESS);
    if (root)
        RegDeleteKeyW(root.Get(), portName);
}

ScopedKey OpenMachineKey(const WCHAR* path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, &key) != ERROR_SUCCESS)
        return ScopedKey();
    return ScopedKey(key);
}

ScopedKey OpenVersionKey(REGSAM access)
{
    WCHAR path[ARRAYSIZE(kRegistryRoot) + ARRAYSIZE(kVersionKeyName)];
    wsprintfW(path, L"%s\\%s", kRegistryRoot, kVersionKeyName);
    return OpenMachineKey(path, access);
}

void ReadSpoolDirectory(WCHAR* out)
{
    ReadGlobalDirectory(L"TempDir", out);
}

void ReadInstallDirectory(WCHAR* out)
{
    ReadGlobalDirectory(L"Dir", out);
}
