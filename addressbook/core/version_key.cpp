#include "addressbook/core/version_key.h"

#include <cstdio>

namespace {
constexpr char kVersionKeyPath[] = "SOFTWARE\\Norvale\\Velloprint\\1.64";
}

ScopedKey OpenVersionKey()
{
    // The 64-bit view on a 64-bit system, where the 64-bit monitor and its installer keep the values;
    // a 32-bit address book would otherwise read the redirected 32-bit view. 32-bit Windows ignores it.
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKeyPath, 0, KEY_READ | KEY_WOW64_64KEY, key.Out()) != ERROR_SUCCESS)
        key.Release(); // a failed open leaves nothing to close
    return key;
}

bool ReadVersionText(const ScopedKey& key, const char* name, char (&text)[kDirectoryValueBytes + 1])
{
    text[0] = '\0';
    if (!key)
        return false;
    DWORD type = 0;
    DWORD size = kDirectoryValueBytes;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        text[0] = '\0';
        return false;
    }
    text[size < kDirectoryValueBytes ? size : kDirectoryValueBytes] = '\0'; // a value stored without terminator
    return true;
}

bool PreDefinedFilePath(char (&path)[MAX_PATH])
{
    char directory[kDirectoryValueBytes + 1];
    if (!ReadVersionText(OpenVersionKey(), "TempDir", directory))
        return false;
    const int length = snprintf(path, MAX_PATH, "%s\\%s", directory, "PreDef.ADR");
    return length > 0 && length < MAX_PATH;
}
