// The installer's effects on the prefix: libraries, spooler registration, registry and directories.
// Every test leaves the monitor installed, as the other test programs expect it.
#include <windows.h>

#include "monitor/core/resource_ids.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kMonitorsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

int RunInstaller(const std::wstring& arguments, std::string* output)
{
    return RunProgram(L"\"" + DistDirectory() + L"\\nmxsetup.exe\" " + arguments, output);
}

// Runs the default installation again when the test ends.
class Reinstall {
public:
    ~Reinstall()
    {
        std::string output;
        EXPECT_EQ(0, RunInstaller(L"install", &output)) << output;
    }
};

std::wstring MonitorName()
{
    HMODULE resources = LoadLibraryExW((DistDirectory() + L"\\NmxRC.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t name[128] = {};
    if (resources != nullptr) {
        LoadStringW(resources, IDS_MONITOR_NAME, name, 128);
        FreeLibrary(resources);
    }
    return name;
}

bool MonitorRegistered(std::wstring* driver)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kMonitorsKey + MonitorName()).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    wchar_t text[MAX_PATH] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    RegQueryValueExW(key, L"Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &bytes);
    RegCloseKey(key);
    *driver = text;
    return true;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring VersionString(const wchar_t* name)
{
    RegValue value;
    if (!ReadRegValue(L"1.64", name, &value) || value.type != REG_SZ)
        return L"<missing>";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

bool VersionNumber(const wchar_t* name, DWORD* number)
{
    RegValue value;
    if (!ReadRegValue(L"1.64", name, &value) || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return false;
    *number = *reinterpret_cast<const DWORD*>(value.data.data());
    return true;
}

TEST(Installer, PutsTheLibrariesInTheSystemDirectoryAndRegistersTheMonitor)
{
    ASSERT_FALSE(MonitorName().empty());
    for (const wchar_t* library : {L"\\NMX_MON.dll", L"\\NmxRC.dll"})
        EXPECT_TRUE(FileExists(SystemDirectory() + library)) << Utf8(library);
    std::wstring driver;
    ASSERT_TRUE(MonitorRegistered(&driver));
    EXPECT_EQ(L"NMX_MON.dll", driver);
}

TEST(Installer, WritesTheVersionKey)
{
    const std::wstring spool = VersionString(L"TempDir");
    const std::wstring dir = VersionString(L"Dir");
    EXPECT_EQ(dir + L"\\Spool", spool);
    EXPECT_TRUE(IsDirectory(spool));
    EXPECT_TRUE(IsDirectory(dir));
    DWORD notice = 0;
    EXPECT_TRUE(VersionNumber(L"347Check", &notice));
}

TEST(Installer, InstallingAgainSucceedsAndKeepsTheNoticeChoice)
{
    RegistryScope scope;
    ASSERT_TRUE(WriteRegValue(L"1.64", DwordValue(L"347Check", 1)));
    std::string output;
    EXPECT_EQ(0, RunInstaller(L"install", &output)) << output; // the monitor exists already: fine
    DWORD notice = 0;
    ASSERT_TRUE(VersionNumber(L"347Check", &notice));
    EXPECT_EQ(1u, notice);
}

TEST(Installer, AFreshInstallShowsTheNotice)
{
    RegistryScope scope;
    ASSERT_TRUE(DeleteRegValue(L"1.64", L"347Check"));
    std::string output;
    ASSERT_EQ(0, RunInstaller(L"install", &output)) << output;
    DWORD notice = 1;
    ASSERT_TRUE(VersionNumber(L"347Check", &notice));
    EXPECT_EQ(0u, notice);
}

TEST(Installer, UninstallRemovesWhatInstallAddedAndKeepsThePorts)
{
    RegistryScope scope({{L"NMX1", {StringValue(L"ServAddr", L"print@example.com")}}});
    Reinstall reinstall;
    const std::wstring spool = VersionString(L"TempDir");
    ClearSpoolDirectory(); // a directory that still holds files would stay
    std::string output;
    ASSERT_EQ(0, RunInstaller(L"uninstall", &output)) << output;

    for (const wchar_t* library : {L"\\NMX_MON.dll", L"\\NmxRC.dll"})
        EXPECT_FALSE(FileExists(SystemDirectory() + library)) << Utf8(library);
    std::wstring driver;
    EXPECT_FALSE(MonitorRegistered(&driver));
    EXPECT_FALSE(RegKeyExists(L"1.64"));
    EXPECT_FALSE(FileExists(spool));
    EXPECT_TRUE(RegKeyExists(L"NMX1")); // the user's port stays

    EXPECT_EQ(0, RunInstaller(L"uninstall", &output)) << output; // nothing left to remove: fine
}

TEST(Installer, TakesTheDirectoriesGiven)
{
    RegistryScope scope;
    Reinstall reinstall;
    std::string output;
    ASSERT_EQ(0, RunInstaller(L"install --dir C:\\VelloTest --spool C:\\VelloTest\\Jobs\\Spool", &output)) << output;
    EXPECT_EQ(L"C:\\VelloTest", VersionString(L"Dir"));
    EXPECT_EQ(L"C:\\VelloTest\\Jobs\\Spool", VersionString(L"TempDir"));
    EXPECT_TRUE(IsDirectory(L"C:\\VelloTest\\Jobs\\Spool"));
    RemoveDirectoryW(L"C:\\VelloTest\\Jobs\\Spool");
    RemoveDirectoryW(L"C:\\VelloTest\\Jobs");
    RemoveDirectoryW(L"C:\\VelloTest");
}

TEST(Installer, RefusesBadArgumentsWithoutChangingAnything)
{
    const std::wstring spool = VersionString(L"TempDir");
    const std::wstring tooLong = L"C:\\" + std::wstring(130, L'x');
    const wchar_t* cases[] = {L"", L"repair", L"install --spool", L"install --spool relative\\dir",
                              L"install --dir C:\\trailing\\", L"install --colour red", L"uninstall now"};
    for (const wchar_t* arguments : cases) {
        SCOPED_TRACE(Utf8(arguments));
        std::string output;
        EXPECT_EQ(2, RunInstaller(arguments, &output)) << output;
    }
    std::string output;
    EXPECT_EQ(2, RunInstaller(L"install --spool " + tooLong, &output)) << output;
    EXPECT_EQ(spool, VersionString(L"TempDir"));
}

} // namespace
