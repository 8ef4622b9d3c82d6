#pragma once
#include "common/scoped.h"

#include <windows.h>

// One port's settings, embedded in its port entry. Strings are fixed-capacity wide arrays;
// each capacity counts the terminator.
struct PortSettings {
    WCHAR PortName[32];
    WCHAR ServAddr[13003];
    WCHAR SpoolFile[261];
    WCHAR SMTPAddr[129];
    WCHAR UserAddr[129];
    WCHAR ServName[32];
    DWORD Notification;
    WCHAR NotifyAddr[130];
    LONG ShowSw;
    DWORD PartLimit;
    LONG PartSw;
    WCHAR DocName[129]; // of the current job, as the spooler names it: 128 characters and a terminator
    LONG CheckMailSw;
};

// Longest stored value, in characters, that a load accepts; a longer one counts as missing.
constexpr DWORD kMaxServAddrChars = 13002;
constexpr DWORD kMaxSmtpAddrChars = 128;
constexpr DWORD kMaxUserAddrChars = 128;
constexpr DWORD kMaxServNameChars = 31;
constexpr DWORD kMaxNotifyAddrChars = 129;
constexpr DWORD kMaxDocNameChars = 128;
constexpr DWORD kDirectoryChars = 130; // callers' buffers for the global directories

constexpr const WCHAR kRegistryRoot[] = L"SOFTWARE\\Norvale\\Velloprint";
constexpr const WCHAR kVersionKeyName[] = L"1.64";

void LoadPortSettings(PortSettings* settings);
LONG SavePortSettings(const PortSettings* settings); // the first registry error, or ERROR_SUCCESS
void DeletePortSettings(const WCHAR* portName);
void ReadSpoolDirectory(WCHAR* out);   // at least kDirectoryChars characters
void ReadInstallDirectory(WCHAR* out); // at least kDirectoryChars characters

// A key under HKEY_LOCAL_MACHINE, or none when it cannot be opened.
ScopedKey OpenMachineKey(const WCHAR* path, REGSAM access);
// The version key "1.64" below the registry root, which holds the global values.
ScopedKey OpenVersionKey(REGSAM access);
