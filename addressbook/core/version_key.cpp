#include "addressbook/core/version_key.h"

#include <cstdio>

namespace {
constexpr char kVersionKeyPath[] = "SOFTWARE\\Norvale\\Velloprint\\1.64";
}

VersionKey::VersionKey()
{
    // The 64-bit view on a 64-bit system, where the 64-bit monitor and its installer keep the values;
    // a 32-bit address book would otherwise read the redirected 32-bit view. 32-bit Windows ignores it.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKeyPath, 0, KEY_READ | KEY_WOW64_64KEY, &key_) != ERROR_SUCCESS)
        key_ = nullptr;
}

VersionKey::~VersionKey()
{
    if (key_ != nullptr)
        RegCloseKey(key_);
}

bool VersionKey::ReadText(const char* name, char (&text)[kDirectoryValueBytes + 1]) const
{
    text[0] = '\0';
    if (key_ == nullptr)
        return false;
    DWORD type = 0;
    DWORD size = kDirectoryValueBytes;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
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
    const VersionKey key;
    if (!key.ReadText("TempDir", directory))
        return false;
    const int length = snprintf(path, MAX_PATH, "%s\\%s", directory, "PreDef.ADR");
    return length > 0 && length < MAX_PATH;
}
