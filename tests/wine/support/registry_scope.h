#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Registry helpers for the Wine tests. Key names are subkeys of the registry root
// HKLM\SOFTWARE\Norvale\Velloprint ("NMX1", "1.64").

struct RegValue {
    std::wstring name;
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
};

// A REG_SZ value, stored with its terminator or, as the monitor stores them, without it.
RegValue StringValue(const std::wstring& name, const std::wstring& text, bool withTerminator = true);
RegValue DwordValue(const std::wstring& name, DWORD number);

struct RegKeySpec {
    std::wstring name;
    std::vector<RegValue> values;
};

// For one test: the root holds exactly the given subkeys besides "1.64" (whose values given here
// are written over the installed ones), and the spooler lists no port of the monitor. When the
// scope ends, every other subkey goes and "1.64" gets back exactly the values it had.
class RegistryScope {
public:
    explicit RegistryScope(const std::vector<RegKeySpec>& keys = {});
    ~RegistryScope();
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;

private:
    std::vector<RegValue> versionValues_;
};

bool WriteRegValue(const std::wstring& key, const RegValue& value); // creates the key when needed
bool ReadRegValue(const std::wstring& key, const std::wstring& name, RegValue* value);
bool DeleteRegValue(const std::wstring& key, const std::wstring& name);
bool RegKeyExists(const std::wstring& key);
// Whether the spooler's registry lists the port under the installed monitor's key.
bool SpoolerHasPort(const std::wstring& port);
std::vector<std::wstring> RootSubkeys();
std::vector<RegValue> RegValues(const std::wstring& key);
// Deletes the subkey with everything below it.
void DeleteRegKey(const std::wstring& key);
