#include "addressbook/core/version_key.h"

#include <cstdio>

namespace {
constexpr char kVersionKeyPath[] = "SOFTWARE\\Norvale\\Velloprint\\1.64";
}

ScopedKey OpenVersionKey()
{
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKeyPath, 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
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
