#include "monitor/core/memory.h"
#include "monitor/core/port_settings.h"
#include "common/scoped.h"
#include "monitor/core/stored_numbers.h"
#include "monitor/mail/smtp_security.h"

#include <sddl.h>

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

// The values of the secure modes. A missing one is today's default, and the values are written
// only when they differ from it, so that a port that never used them keeps its ten values.
void ReadSecurityValue(HKEY key, DWORD* field)
{
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    const LONG result = RegQueryValueExW(key, L"SMTPSecurity", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &bytes);
    if (result == ERROR_FILE_NOT_FOUND)
        return;
    // Present but unreadable is refused, never taken for "none".
    *field = result == ERROR_SUCCESS && bytes == sizeof(value) ? value : kUnreadableSecurity;
}

void ReadPasswordValue(HKEY key, PortSettings* settings)
{
    DWORD bytes = sizeof(settings->SMTPPassword);
    if (RegQueryValueExW(key, L"SMTPPassword", nullptr, nullptr, settings->SMTPPassword, &bytes) == ERROR_SUCCESS)
        settings->SMTPPasswordBytes = bytes;
}

void LoadSecureMailSettings(HKEY key, PortSettings* settings)
{
    ReadSecurityValue(key, &settings->SMTPSecurity);
    ReadNumberValue(key, L"SMTPPort", &settings->SMTPPort, kSmtpPortRange);
    ReadStringValue(key, L"SMTPUser", settings->SMTPUser, kMaxSmtpUserChars);
    ReadStringValue(key, L"SMTPCertSHA256", settings->SMTPCertSHA256, kCertSha256Chars);
    ReadPasswordValue(key, settings);
}

// Only the spooler (LocalSystem) and administrators may read a key that holds a password: the
// protection is the machine's, so whoever reads the value can decrypt it.
LONG RestrictToSpoolerAndAdministrators(HKEY key)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;KA;;;SY)(A;OICI;KA;;;BA)",
                                                              SDDL_REVISION_1, &descriptor, nullptr))
        return static_cast<LONG>(GetLastError());
    const LONG result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    return result;
}

// A value at its default is not kept: a port that never used the secure modes keeps its ten values.
LONG RemoveValue(HKEY key, const WCHAR* name)
{
    const LONG removed = RegDeleteValueW(key, name);
    return removed == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : removed;
}

LONG WriteNumberUnlessZero(HKEY key, const WCHAR* name, DWORD value)
{
    return value != 0 ? WriteNumberValue(key, name, value) : RemoveValue(key, name);
}

LONG WriteStringUnlessEmpty(HKEY key, const WCHAR* name, const WCHAR* text)
{
    return text[0] != L'\0' ? WriteStringValue(key, name, text) : RemoveValue(key, name);
}

LONG WritePassword(HKEY key, const PortSettings* settings)
{
    if (settings->SMTPPasswordBytes == 0)
        return RemoveValue(key, L"SMTPPassword");
    const LONG restricted = RestrictToSpoolerAndAdministrators(key);
    const LONG written =
        RegSetValueExW(key, L"SMTPPassword", 0, REG_BINARY, settings->SMTPPassword, settings->SMTPPasswordBytes);
    return restricted != ERROR_SUCCESS ? restricted : written;
}

LONG SaveSecureMailSettings(HKEY key, const PortSettings* settings)
{
    return FirstFailure({
        WriteNumberUnlessZero(key, L"SMTPSecurity", settings->SMTPSecurity),
        WriteNumberUnlessZero(key, L"SMTPPort", settings->SMTPPort),
        WriteStringUnlessEmpty(key, L"SMTPUser", settings->SMTPUser),
        WriteStringUnlessEmpty(key, L"SMTPCertSHA256", settings->SMTPCertSHA256),
        WritePassword(key, settings),
    });
}

// The spooler calls the monitor while impersonating the user who prints; a key that holds a
// password is readable only by the spooler itself, so the settings are read as the spooler.
class AsProcessIdentity {
public:
    AsProcessIdentity()
    {
        if (OpenThreadToken(GetCurrentThread(), TOKEN_IMPERSONATE, TRUE, token_.Out()) && !RevertToSelf())
            token_.Reset();
    }
    ~AsProcessIdentity()
    {
        if (token_)
            SetThreadToken(nullptr, token_.Get());
    }
    AsProcessIdentity(const AsProcessIdentity&) = delete;
    AsProcessIdentity& operator=(const AsProcessIdentity&) = delete;

private:
    ScopedHandle token_;
};

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
    settings->SMTPSecurity = 0;
    settings->SMTPPort = 0;
    settings->SMTPUser[0] = L'\0';
    settings->SMTPCertSHA256[0] = L'\0';
    SecureZeroMemory(settings->SMTPPassword, sizeof(settings->SMTPPassword));
    settings->SMTPPasswordBytes = 0;
    settings->SMTPPasswordHeldByMonitor = false; // a record read here holds the bytes themselves
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
    const AsProcessIdentity spooler;
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
    LoadSecureMailSettings(key.Get(), settings);
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
        SaveSecureMailSettings(key.Get(), settings),
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
