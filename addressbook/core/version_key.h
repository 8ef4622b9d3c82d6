#pragma once
// The installation's values under HKEY_LOCAL_MACHINE "SOFTWARE\Norvale\Velloprint\1.64": "Dir" (the
// resource library's directory) and "TempDir" (where "PreDef.ADR" lies). The address book only
// reads them.
#include <windows.h>

#include "common/scoped.h"

constexpr DWORD kDirectoryValueBytes = 261; // the longest value read, terminator included

// The key opened for reading; empty when it cannot be opened.
ScopedKey OpenVersionKey();
// A string value of at most kDirectoryValueBytes; false and an empty text when the key is not
// open, or the value is missing, is no string or is longer.
bool ReadVersionText(const ScopedKey& key, const char* name, char (&text)[kDirectoryValueBytes + 1]);

// "<TempDir>\PreDef.ADR"; false when the key or the value is missing or the path does not fit.
bool PreDefinedFilePath(char (&path)[MAX_PATH]);
