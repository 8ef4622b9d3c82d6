#include "tests/wine/support/registry_scope.h"

#include "common/scoped.h"
#include "tests/wine/support/programs.h"

#include "monitor/core/port_settings.h"

namespace {

std::wstring PathOf(const std::wstring& key)
{
    return key.empty() ? kRegistryRoot : std::wstring(kRegistryRoot) + L"\\" + key;
}

bool Open(const std::wstring& key, REGSAM access, ScopedKey* out)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, PathOf(key).c_str(), 0, access, out->Out()) == ERROR_SUCCESS;
}

std::vector<std::wstring> SubkeysOf(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, length);
    }
}

void DeleteTree(HKEY parent, const std::wstring& name)
{
    {
        ScopedKey key;
        if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS)
            return;
        for (const std::wstring& child : SubkeysOf(key.Get()))
            DeleteTree(key.Get(), child);
    }
    RegDeleteKeyW(parent, name.c_str());
}

std::wstring SpoolerPortsPath()
{
    return L"System\\CurrentControlSet\\Control\\Print\\Monitors\\" + InstalledResourceString(706) + L"\\Ports";
}

// Every subkey of the root but "1.64", and the spooler's records of the monitor's ports.
void DeletePortKeys()
{
    DeleteTree(HKEY_LOCAL_MACHINE, SpoolerPortsPath());
    ScopedKey root;
    if (!Open(L"", KEY_ALL_ACCESS, &root))
        return;
    for (const std::wstring& name : SubkeysOf(root.Get())) {
        if (name != kVersionKeyName)
            DeleteTree(root.Get(), name);
    }
}

} // namespace

RegValue StringValue(const std::wstring& name, const std::wstring& text, bool withTerminator)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    const size_t size = (text.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t);
    return {name, REG_SZ, std::vector<BYTE>(bytes, bytes + size)};
}

RegValue DwordValue(const std::wstring& name, DWORD number)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&number);
    return {name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(number))};
}

bool WriteRegValue(const std::wstring& key, const RegValue& value)
{
    ScopedKey opened;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, PathOf(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        opened.Out(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(opened.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool ReadRegValue(const std::wstring& key, const std::wstring& name, RegValue* value)
{
    ScopedKey opened;
    if (!Open(key, KEY_READ, &opened))
        return false;
    DWORD size = 0;
    if (RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &value->type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    value->name = name;
    value->data.assign(size, 0);
    // The size asked for first may count a terminator that the stored data does not have.
    if (RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &value->type, value->data.data(), &size) != ERROR_SUCCESS)
        return false;
    value->data.resize(size);
    return true;
}

bool DeleteRegValue(const std::wstring& key, const std::wstring& name)
{
    ScopedKey opened;
    return Open(key, KEY_ALL_ACCESS, &opened) && RegDeleteValueW(opened.Get(), name.c_str()) == ERROR_SUCCESS;
}

bool SpoolerHasPort(const std::wstring& port)
{
    ScopedKey opened;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, (SpoolerPortsPath() + L"\\" + port).c_str(), 0, KEY_READ,
                         opened.Out()) == ERROR_SUCCESS;
}

bool RegKeyExists(const std::wstring& key)
{
    ScopedKey opened;
    return Open(key, KEY_READ, &opened);
}

std::vector<std::wstring> RootSubkeys()
{
    ScopedKey root;
    return Open(L"", KEY_READ, &root) ? SubkeysOf(root.Get()) : std::vector<std::wstring>{};
}

std::vector<RegValue> RegValues(const std::wstring& key)
{
    std::vector<RegValue> values;
    ScopedKey opened;
    if (!Open(key, KEY_READ, &opened))
        return values;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumValueW(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return values;
        RegValue value;
        if (ReadRegValue(key, std::wstring(name, length), &value))
            values.push_back(value);
    }
}

void DeleteRegKey(const std::wstring& key)
{
    DeleteTree(HKEY_LOCAL_MACHINE, PathOf(key));
}

RegistryScope::RegistryScope(const std::vector<RegKeySpec>& keys)
    : versionValues_(RegValues(kVersionKeyName))
{
    DeletePortKeys();
    for (const RegKeySpec& key : keys) {
        ScopedKey created;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, PathOf(key.name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        created.Out(), nullptr);
        for (const RegValue& value : key.values)
            WriteRegValue(key.name, value);
    }
}

RegistryScope::~RegistryScope()
{
    DeletePortKeys();
    DeleteRegKey(kVersionKeyName);
    for (const RegValue& value : versionValues_)
        WriteRegValue(kVersionKeyName, value);
}
