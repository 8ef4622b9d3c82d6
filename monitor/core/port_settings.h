#pragma once
#include "common/scoped.h"

#include <windows.h>

constexpr DWORD kProtectedPasswordCapacity = 1024;

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
    // How the mail reaches the server; missing values give the plain dialogue on port 25.
    DWORD SMTPSecurity;       // 0 none, 1 STARTTLS required, 2 TLS from the first byte; other: mails nothing
    DWORD SMTPPort;           // 0: the mode's own port
    WCHAR SMTPUser[129];      // empty: no login
    WCHAR SMTPCertSHA256[65]; // empty: a trusted chain naming the server; else the one certificate taken
    BYTE SMTPPassword[kProtectedPasswordCapacity]; // the password as CryptProtectData gave it
    DWORD SMTPPasswordBytes;  // 0: no password stored
    // A record that came through Xcv carries no protected bytes, only whether the monitor holds
    // a password: then the dialog shows one as stored, and a field left alone keeps it.
    bool SMTPPasswordHeldByMonitor;
};

// Longest stored value, in characters, that a load accepts; a longer one counts as missing.
constexpr DWORD kMaxServAddrChars = 13002;
constexpr DWORD kMaxSmtpAddrChars = 128;
constexpr DWORD kMaxUserAddrChars = 128;
constexpr DWORD kMaxServNameChars = 31;
constexpr DWORD kMaxNotifyAddrChars = 129;
constexpr DWORD kMaxDocNameChars = 128;
constexpr DWORD kMaxSmtpUserChars = 128;
constexpr DWORD kMaxPasswordChars = 128;
constexpr DWORD kCertSha256Chars = 64;
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
