#pragma once
// The installation's values under HKEY_LOCAL_MACHINE "SOFTWARE\Norvale\Velloprint\1.64": "Dir" (the
// resource library's directory) and "TempDir" (where "PreDef.ADR" lies). The address book only
// reads them.
#include <windows.h>

constexpr DWORD kDirectoryValueBytes = 261; // the longest value read, terminator included

class VersionKey {
public:
    VersionKey();
    ~VersionKey();
    VersionKey(const VersionKey&) = delete;
    VersionKey& operator=(const VersionKey&) = delete;

    bool IsOpen() const { return key_ != nullptr; }
    // A string value of at most kDirectoryValueBytes; false and an empty text when it is missing,
    // is no string or is longer.
    bool ReadText(const char* name, char (&text)[kDirectoryValueBytes + 1]) const;

private:
    HKEY key_ = nullptr;
};

// "<TempDir>\PreDef.ADR"; false when the key or the value is missing or the path does not fit.
bool PreDefinedFilePath(char (&path)[MAX_PATH]);
