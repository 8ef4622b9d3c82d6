// The installer's effects on the prefix: the monitor's libraries and the address book, spooler
// registration, registry and directories. Every test leaves everything installed, as the other
// test programs expect it.
#include <windows.h>
#include <sddl.h>

#include "monitor/core/resource_ids.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// What the installer ships and where: the monitor into the system directory, the address book
// into the installation directory ("Dir").
struct ShippedFile {
    const wchar_t* name;
    bool inSystemDirectory;
};

const ShippedFile kShippedFiles[] = {
    {L"NMX_MON.dll", true},
    {L"NmxRC.dll", true},
    {L"pelmoraRC.dll", false},
    {L"pelmora.exe", false},
};

constexpr wchar_t kMonitorsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

int RunInstaller(const std::wstring& arguments, std::string* output, const std::string* input = nullptr)
{
    return RunProgram(L"\"" + DistDirectory() + L"\\nmxsetup.exe\" " + arguments, output, input);
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

std::string FileBytes(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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

std::wstring InstalledPath(const ShippedFile& file, const std::wstring& installDir)
{
    return (file.inSystemDirectory ? SystemDirectory() : installDir) + L"\\" + file.name;
}

TEST(Installer, PutsTheBuiltFilesInPlaceAndRegistersTheMonitor)
{
    ASSERT_FALSE(MonitorName().empty());
    const std::wstring installDir = VersionString(L"Dir");
    for (const ShippedFile& file : kShippedFiles) {
        SCOPED_TRACE(Utf8(file.name));
        const std::string built = FileBytes(DistDirectory() + L"\\" + file.name);
        ASSERT_FALSE(built.empty());
        EXPECT_TRUE(built == FileBytes(InstalledPath(file, installDir))) << "not the built file";
    }
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
    const std::wstring installDir = VersionString(L"Dir");
    ClearSpoolDirectory(); // a directory that still holds files would stay
    std::string output;
    ASSERT_EQ(0, RunInstaller(L"uninstall", &output)) << output;

    for (const ShippedFile& file : kShippedFiles)
        EXPECT_FALSE(FileExists(InstalledPath(file, installDir))) << Utf8(file.name);
    EXPECT_FALSE(FileExists(installDir));
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
    for (const ShippedFile& file : kShippedFiles) {
        if (!file.inSystemDirectory) {
            EXPECT_TRUE(FileExists(InstalledPath(file, L"C:\\VelloTest"))) << Utf8(file.name);
            DeleteFileW(InstalledPath(file, L"C:\\VelloTest").c_str());
        }
    }
    RemoveDirectoryW(L"C:\\VelloTest\\Jobs\\Spool");
    RemoveDirectoryW(L"C:\\VelloTest\\Jobs");
    RemoveDirectoryW(L"C:\\VelloTest");
}

// An installer beside all shipped files but one says which is missing and changes nothing.
TEST(Installer, RefusesToInstallWhenAFileIsMissing)
{
    const std::wstring source = L"C:\\VelloSource";
    const std::wstring target = L"C:\\VelloMissing";
    const std::wstring installDir = VersionString(L"Dir");
    CreateDirectoryW(source.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((DistDirectory() + L"\\nmxsetup.exe").c_str(), (source + L"\\nmxsetup.exe").c_str(), FALSE));
    for (const ShippedFile& missing : kShippedFiles) {
        SCOPED_TRACE(Utf8(missing.name));
        for (const ShippedFile& file : kShippedFiles) {
            const std::wstring copy = source + L"\\" + file.name;
            if (&file == &missing)
                DeleteFileW(copy.c_str());
            else
                ASSERT_TRUE(CopyFileW((DistDirectory() + L"\\" + file.name).c_str(), copy.c_str(), FALSE));
        }
        std::string output;
        EXPECT_EQ(1, RunProgram(L"\"" + source + L"\\nmxsetup.exe\" install --dir " + target, &output)) << output;
        EXPECT_NE(std::string::npos, output.find("missing " + Utf8(source + L"\\" + missing.name))) << output;
        EXPECT_FALSE(FileExists(target));
        EXPECT_EQ(installDir, VersionString(L"Dir"));
    }
    for (const ShippedFile& file : kShippedFiles)
        DeleteFileW((source + L"\\" + file.name).c_str());
    DeleteFileW((source + L"\\nmxsetup.exe").c_str());
    RemoveDirectoryW(source.c_str());
}

#ifdef _WIN64
// The 32-bit build's installer, run on this 64-bit system, names the 64-bit one and changes nothing.
TEST(Installer, The32BitInstallerRefusesOnA64BitSystem)
{
    const std::wstring installDir = VersionString(L"Dir");
    std::string output;
    EXPECT_EQ(1, RunProgram(L"\"" + DistDirectory() + L"\\..\\..\\win32\\dist\\nmxsetup.exe\" install --dir C:\\Vello32",
                            &output)) << output;
    EXPECT_NE(std::string::npos, output.find("install with the 64-bit installer")) << output;
    EXPECT_FALSE(FileExists(L"C:\\Vello32"));
    EXPECT_FALSE(FileExists(L"C:\\windows\\syswow64\\NMX_MON.dll")); // the 32-bit system directory
    EXPECT_EQ(installDir, VersionString(L"Dir"));
}
#endif

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

// A port configured by script: values checked as the dialog checks them, the password read from
// standard input and kept only protected, in a key that only the spooler and administrators read.
TEST(Installer, ConfiguresAPortByScriptAndRefusesBadValuesWithoutChangingIt)
{
    constexpr wchar_t kPort[] = L"NMX8";
    DeleteRegKey(kPort);
    std::string output;
    const std::string password = "s\xC3\xA9" "cret\r\n"; // UTF-8, as a console or a pipe gives it
    ASSERT_EQ(0, RunInstaller(L"port nmx8 --to \"a@x.test, b@x.test\" --server smtp.x.test --security starttls"
                              L" --user anna --password-stdin --show-settings off --parts 512",
                              &output, &password))
        << output;
    const std::wstring key = L"nmx8";
    RegValue value;
    EXPECT_EQ(L"a@x.test;;b@x.test", RegText(key, L"ServAddr"));
    for (const auto& [name, number] : {std::pair{L"SMTPSecurity", 1}, {L"ShowSw", 0}, {L"PartSw", 1}, {L"PartLimit", 512}}) {
        ASSERT_TRUE(ReadRegValue(key, name, &value)) << Utf8(name);
        EXPECT_EQ(static_cast<DWORD>(number), *reinterpret_cast<const DWORD*>(value.data.data())) << Utf8(name);
    }
    EXPECT_FALSE(ReadRegValue(key, L"SMTPPort", &value)) << "the mode's own port: no value";
    ASSERT_TRUE(ReadRegValue(key, L"SMTPPassword", &value));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value.type);
    EXPECT_EQ(L"s\u00e9cret", RegProtectedText(key, L"SMTPPassword"));
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvale\\Velloprint\\NMX8", 0, KEY_READ, &opened));
    BYTE descriptor[1024];
    DWORD size = sizeof descriptor;
    EXPECT_EQ(ERROR_SUCCESS, RegGetKeySecurity(opened, DACL_SECURITY_INFORMATION, descriptor, &size));
    RegCloseKey(opened);
    LPWSTR text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &text, nullptr));
    EXPECT_STREQ(L"D:P(A;OICI;KA;;;SY)(A;OICI;KA;;;BA)", text);
    LocalFree(text);

    for (const wchar_t* bad : {L"port NMX8 --smtp-port 70000", L"port NMX8 --security ssl", L"port LPT1 --server x"}) {
        EXPECT_EQ(2, RunInstaller(bad, &output)) << Utf8(bad) << output;
    }
    EXPECT_EQ(L"smtp.x.test", RegText(key, L"SMTPAddr"));
    EXPECT_EQ(0, RunInstaller(L"port NMX8 --delete", &output)) << output;
    EXPECT_FALSE(RegKeyExists(kPort));
}

} // namespace
