// The installer: puts NMX_MON.dll, its UI library NMX_MONUI.dll, its notifier nmx_notify.exe and NmxRC.dll (taken from beside
// this program) into the system directory and the address book pelmora.exe with pelmoraRC.dll
// into the installation directory, registers the monitor with the spooler under the name of resource string 706, makes the
// installation and spool directories and the registry root with its "1.64" values.
//
//   nmxsetup install [--dir <installation directory>] [--spool <spool directory>]
//   nmxsetup uninstall
//   nmxsetup port NAME [--to ADDRESSES] [--from ADDRESS] [--server HOST] [--security none|starttls|tls]
//                      [--smtp-port N] [--user NAME] [--password-stdin] [--cert-sha256 HEX]
//                      [--parts KB|off] [--show-settings on|off]
//   nmxsetup port NAME --delete
//
// Running install again repairs an installation and keeps the user's "347Check" choice. Uninstall
// removes what install added; port keys, which the user made, stay, and so do directories that
// still hold files.
#include <windows.h>
#include <winspool.h>

#include "common/scoped.h"
#include "monitor/core/port_settings.h"
#include "monitor/core/port_setup_options.h"
#include "monitor/core/protected_password.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/secure_session.h"
#include "monitor/mail/text_conversion.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr DWORD kMaxDirectoryChars = kDirectoryChars - 1; // what the monitor reads back whole
constexpr wchar_t kMonitorLibrary[] = L"NMX_MON.dll";
constexpr wchar_t kResourceLibrary[] = L"NmxRC.dll";

// The spooler loads the monitor from the system directory; the monitor starts the address book
// from the installation directory ("Dir"), where the address book finds its resource library.
enum class Destination { System, Installation };

struct ShippedFile {
    const wchar_t* name;
    Destination destination;
};

constexpr ShippedFile kShippedFiles[] = {
    {kMonitorLibrary, Destination::System},
    {kResourceLibrary, Destination::System},
    {L"NMX_MONUI.dll", Destination::System}, // the port dialogs of the spooler's modern interface
    {L"nmx_notify.exe", Destination::System}, // its job messages in the printing user's session
    {L"pelmoraRC.dll", Destination::Installation},
    {L"pelmora.exe", Destination::Installation},
};

void Report(const std::wstring& text)
{
    fwprintf(stderr, L"nmxsetup: %ls\n", text.c_str());
}

bool Failed(const std::wstring& what, DWORD error)
{
    Report(what + L" (error " + std::to_wstring(error) + L")");
    return false;
}

std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L'\\'));
}

std::wstring SystemDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

std::wstring VersionKeyPath()
{
    return std::wstring(kRegistryRoot) + L"\\" + kVersionKeyName;
}

// String 706 of a resource library: the name the monitor answers to.
std::wstring MonitorName(const std::wstring& resourceLibrary)
{
    const ScopedLibrary library(LoadLibraryExW(resourceLibrary.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!library)
        return L"";
    wchar_t name[128] = {};
    LoadStringW(library.Get(), IDS_MONITOR_NAME, name, 128);
    return name;
}

bool CreateDirectoryPath(const std::wstring& path)
{
    // Every prefix that ends before a backslash, then the whole path; existing ones are fine.
    for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        const std::wstring part = path.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Failed(L"cannot create " + part, GetLastError());
        if (at == std::wstring::npos)
            return true;
    }
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& text)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring ReadString(HKEY key, const wchar_t* name)
{
    wchar_t text[kDirectoryChars + 1] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return L"";
    return text;
}

bool WriteVersionKey(const std::wstring& installDir, const std::wstring& spoolDir)
{
    ScopedKey key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, VersionKeyPath().c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, key.Out(), nullptr);
    if (result != ERROR_SUCCESS)
        return Failed(L"cannot create the registry key " + VersionKeyPath(), result);
    result = SetString(key.Get(), L"TempDir", spoolDir);
    if (result == ERROR_SUCCESS)
        result = SetString(key.Get(), L"Dir", installDir);
    // The notice shows until the user turns it off; a repair keeps that choice.
    if (result == ERROR_SUCCESS && RegQueryValueExW(key.Get(), L"347Check", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        const DWORD showNotice = 0;
        result = RegSetValueExW(key.Get(), L"347Check", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&showNotice),
                                sizeof(showNotice));
    }
    return result == ERROR_SUCCESS || Failed(L"cannot write the values of " + VersionKeyPath(), result);
}

std::wstring DestinationDirectory(Destination destination, const std::wstring& installDir)
{
    return destination == Destination::System ? SystemDirectory() : installDir;
}

// Before anything changes: every file to install is there.
bool ShippedFilesPresent(const std::wstring& from)
{
    bool present = true;
    for (const ShippedFile& file : kShippedFiles) {
        const std::wstring source = from + L"\\" + file.name;
        if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
            Report(L"missing " + source + L": build it before installing");
            present = false;
        }
    }
    return present;
}

bool CopyShippedFiles(const std::wstring& from, const std::wstring& installDir)
{
    for (const ShippedFile& file : kShippedFiles) {
        const std::wstring source = from + L"\\" + file.name;
        const std::wstring to = DestinationDirectory(file.destination, installDir);
        if (!CopyFileW(source.c_str(), (to + L"\\" + file.name).c_str(), FALSE))
            return Failed(L"cannot copy " + source + L" into " + to, GetLastError());
    }
    return true;
}

bool RegisterMonitor(const std::wstring& name)
{
    std::wstring monitorName = name;
    std::wstring library = kMonitorLibrary;
    MONITOR_INFO_2W info = {&monitorName[0], nullptr, &library[0]};
    if (AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)) ||
        GetLastError() == ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
        return true;
    return Failed(L"the spooler refused the monitor \"" + name + L"\"", GetLastError());
}

std::wstring DefaultInstallDirectory()
{
    wchar_t programFiles[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH) == 0)
        wcscpy(programFiles, L"C:\\Program Files");
    return std::wstring(programFiles) + L"\\Velloprint";
}

// A full path (drive, colon, backslash) no longer than the monitor reads back.
bool CheckDirectory(const wchar_t* what, const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\' && path.size() <= kMaxDirectoryChars &&
        path.back() != L'\\')
        return true;
    Report(std::wstring(what) + L" must be a full path of at most " + std::to_wstring(kMaxDirectoryChars) +
           L" characters without a trailing backslash: " + path);
    return false;
}

// A 32-bit program on 64-bit Windows: the 64-bit spooler there cannot load a 32-bit monitor.
bool RunsOn64BitWindowsAs32Bit()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

int Install(const std::wstring& installDir, const std::wstring& spoolDir)
{
    if (RunsOn64BitWindowsAs32Bit()) {
        Report(L"this is the 32-bit installer, and the 64-bit print spooler of this Windows cannot load a "
               L"32-bit monitor: install with the 64-bit installer (nmxsetup.exe of the 64-bit build) instead; "
               L"nothing was changed");
        return kExitFailure;
    }
    if (!CheckDirectory(L"the installation directory", installDir) ||
        !CheckDirectory(L"the spool directory", spoolDir))
        return kExitUsage;
    const std::wstring source = ProgramDirectory();
    if (!ShippedFilesPresent(source))
        return kExitFailure;
    const std::wstring name = MonitorName(source + L"\\" + kResourceLibrary);
    if (name.empty()) {
        Report(L"no monitor name (string 706) in " + source + L"\\" + kResourceLibrary);
        return kExitFailure;
    }
    const bool installed = CreateDirectoryPath(installDir) && CreateDirectoryPath(spoolDir) &&
                           WriteVersionKey(installDir, spoolDir) &&
                           CopyShippedFiles(source, installDir) && RegisterMonitor(name);
    if (!installed)
        return kExitFailure;
    wprintf(L"installed the monitor \"%ls\"; spool directory %ls\n", name.c_str(), spoolDir.c_str());
    return 0;
}

bool UnregisterMonitor(const std::wstring& name)
{
    std::wstring monitorName = name;
    if (DeleteMonitorW(nullptr, nullptr, &monitorName[0]) || GetLastError() == ERROR_UNKNOWN_PRINT_MONITOR)
        return true;
    return Failed(L"the spooler did not remove the monitor \"" + name + L"\"", GetLastError());
}

// Files of the installation directory are found through "Dir"; without it only the system
// directory's are removed.
bool DeleteShippedFiles(const std::wstring& installDir)
{
    for (const ShippedFile& file : kShippedFiles) {
        const std::wstring directory = DestinationDirectory(file.destination, installDir);
        if (directory.empty())
            continue;
        const std::wstring path = directory + L"\\" + file.name;
        if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            return Failed(L"cannot delete " + path, GetLastError());
    }
    return true;
}

void ReadInstalledDirectories(std::wstring* installDir, std::wstring* spoolDir)
{
    ScopedKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, VersionKeyPath().c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS) {
        *installDir = ReadString(key.Get(), L"Dir");
        *spoolDir = ReadString(key.Get(), L"TempDir");
    }
}

// The "1.64" key goes; the root and its parent go only when nothing else is left in them.
void DeleteRegistryKeys()
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, VersionKeyPath().c_str());
    std::wstring root = kRegistryRoot;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, root.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, root.substr(0, root.find_last_of(L'\\')).c_str());
}

int Uninstall()
{
    const std::wstring system = SystemDirectory();
    std::wstring name = MonitorName(system + L"\\" + kResourceLibrary);
    if (name.empty())
        name = MonitorName(ProgramDirectory() + L"\\" + kResourceLibrary);
    if (!name.empty() && !UnregisterMonitor(name))
        return kExitFailure;
    std::wstring installDir;
    std::wstring spoolDir;
    ReadInstalledDirectories(&installDir, &spoolDir);
    if (!DeleteShippedFiles(installDir))
        return kExitFailure;
    DeleteRegistryKeys();
    // Only empty directories go: spool files of an interrupted job or the user's files stay.
    if (!spoolDir.empty())
        RemoveDirectoryW(spoolDir.c_str());
    if (!installDir.empty())
        RemoveDirectoryW(installDir.c_str());
    wprintf(L"uninstalled\n");
    return 0;
}

// A line from standard input, not shown on a console. False when it is longer than a password may be.
bool ReadPasswordLine(wchar_t* password, size_t capacity)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode) != 0;
    if (console)
        SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    char line[4 * kMaxPasswordChars + 4] = "";
    size_t length = 0;
    char byte = 0;
    DWORD read = 0;
    bool fits = true;
    while (ReadFile(input, &byte, 1, &read, nullptr) && read == 1 && byte != '\n') {
        if (length + 1 < sizeof line)
            line[length++] = byte;
        else
            fits = false;
    }
    if (console)
        SetConsoleMode(input, mode);
    if (length > 0 && line[length - 1] == '\r')
        --length;
    line[length] = '\0';
    const int chars = MultiByteToWideChar(CP_UTF8, 0, line, -1, password, static_cast<int>(capacity));
    WipeSecret(line, sizeof line);
    return fits && chars > 0 && static_cast<size_t>(chars) <= kMaxPasswordChars + 1;
}

void Apply(const PortSetupOptions& options, PortSettings* settings)
{
    const auto copy = [](const wchar_t* value, WCHAR* field, int capacity) {
        if (value != nullptr)
            lstrcpynW(field, value, capacity);
    };
    copy(options.to, settings->ServAddr, ARRAYSIZE(settings->ServAddr));
    if (options.to != nullptr)
        NormaliseAddressList(settings->ServAddr, ARRAYSIZE(settings->ServAddr));
    copy(options.from, settings->UserAddr, ARRAYSIZE(settings->UserAddr));
    copy(options.server, settings->SMTPAddr, ARRAYSIZE(settings->SMTPAddr));
    copy(options.user, settings->SMTPUser, ARRAYSIZE(settings->SMTPUser));
    copy(options.pin, settings->SMTPCertSHA256, ARRAYSIZE(settings->SMTPCertSHA256));
    if (options.hasSecurity)
        settings->SMTPSecurity = options.security;
    if (options.hasPort)
        settings->SMTPPort = options.port;
    if (options.hasShowSettings)
        settings->ShowSw = options.showSettings ? 1 : 0;
    if (options.hasParts) {
        settings->PartSw = options.partLimitKb != 0 ? 1 : 0;
        if (options.partLimitKb != 0)
            settings->PartLimit = options.partLimitKb;
    }
}

// Creates or updates the port's key, or removes it. Nothing changes unless every option is good.
int Port(int count, const wchar_t* const* arguments)
{
    PortSetupOptions options;
    wchar_t error[512];
    if (!ParsePortSetupOptions(count, arguments, &options, error, ARRAYSIZE(error))) {
        Report(error);
        return kExitUsage;
    }
    if (options.remove) {
        DeletePortSettings(options.name);
        return 0;
    }
    const std::unique_ptr<PortSettings> settings(new (std::nothrow) PortSettings{});
    if (!settings)
        return kExitFailure;
    lstrcpynW(settings->PortName, options.name, ARRAYSIZE(settings->PortName));
    LoadPortSettings(settings.get());
    Apply(options, settings.get());
    if (options.passwordFromStdin) {
        wchar_t password[kMaxPasswordChars + 2] = L"";
        const bool read = ReadPasswordLine(password, ARRAYSIZE(password));
        const bool protectedOk = read && ProtectPassword(password, settings.get());
        SecureZeroMemory(password, sizeof password);
        if (!read) {
            Report(L"the password is longer than " + std::to_wstring(kMaxPasswordChars) + L" characters");
            return kExitUsage;
        }
        if (!protectedOk) {
            Failed(L"cannot protect the password", GetLastError());
            return kExitFailure;
        }
    }
    const LONG saved = SavePortSettings(settings.get());
    if (saved == ERROR_SUCCESS)
        return 0;
    Failed(L"cannot write the port's settings", static_cast<DWORD>(saved));
    return kExitFailure;
}

int Usage()
{
    fwprintf(stderr, L"usage: nmxsetup install [--dir <directory>] [--spool <directory>]\n"
                     L"       nmxsetup uninstall\n"
                     L"       nmxsetup port NAME [--to ADDRESSES] [--from ADDRESS] [--server HOST]\n"
                     L"                [--security none|starttls|tls] [--smtp-port N] [--user NAME]\n"
                     L"                [--password-stdin] [--cert-sha256 HEX] [--parts KB|off]\n"
                     L"                [--show-settings on|off]\n"
                     L"       nmxsetup port NAME --delete\n");
    return kExitUsage;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wstring(argv[1]) == L"uninstall")
        return Uninstall();
    if (argc >= 2 && std::wstring(argv[1]) == L"port")
        return Port(argc - 2, argv + 2);
    if (argc < 2 || std::wstring(argv[1]) != L"install")
        return Usage();
    std::wstring installDir = DefaultInstallDirectory();
    std::wstring spoolDir;
    for (int i = 2; i < argc; i += 2) {
        const std::wstring option = argv[i];
        if (i + 1 >= argc || (option != L"--dir" && option != L"--spool"))
            return Usage();
        (option == L"--dir" ? installDir : spoolDir) = argv[i + 1];
    }
    if (spoolDir.empty())
        spoolDir = installDir + L"\\Spool";
    return Install(installDir, spoolDir);
}
