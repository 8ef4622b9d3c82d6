// The port configuration dialog's exchange with the address book program, driven through the
// monitor's ConfigurePort entry point. A stand-in program, copied into a folder as "pelmora.exe",
// notes how it was started; the hand-over comes as the address book sends it, a global atom
// naming the file in a posted "WM_SENDADDR".
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// In the user's language: Japanese in the Japanese case.
const std::wstring kPortConfigCaption = InstalledDialogCaption(IDD_PORT_CONFIG);
constexpr wchar_t kPort[] = L"NMX1";
constexpr wchar_t kStoredList[] = L"a@x.jp;b@y.jp";
constexpr DWORD kStartTimeoutMs = 60000; // only a guard against a hang

const RegKeySpec kStoredPort = {kPort, {StringValue(L"ServAddr", kStoredList, false), DwordValue(L"ShowSw", 0)}};

std::string FileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring HandOverPath()
{
    return SpoolDirectory() + L"\\PreDef.ADR";
}

std::wstring Upper(std::wstring text)
{
    CharUpperW(&text[0]);
    return text;
}

std::wstring Lower(std::wstring text)
{
    CharLowerW(&text[0]);
    return text;
}

// A folder of its own under the temporary folder, removed with what it holds.
class TestFolder {
public:
    explicit TestFolder(const std::wstring& name)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"velloprint-" + name;
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TestFolder()
    {
        for (const wchar_t* name : {L"pelmora.exe", L"started.txt", L"started.part", L"PreDef.ADR"})
            DeleteFileW(File(name).c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

    // The stand-in, as the program the dialog starts.
    void HoldProgram() const
    {
        ASSERT_TRUE(CopyFileW((BinDirectory() + L"\\address_book_standin.exe").c_str(), File(L"pelmora.exe").c_str(),
                              FALSE));
    }

    // How the stand-in here was started, one item a line (program, command line, tail, current
    // directory, show command); empty when it has not been started.
    std::vector<std::wstring> StartRecord() const
    {
        const std::string bytes = FileBytes(File(L"started.txt"));
        if (bytes == "<missing>")
            return {};
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> lines;
        for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    std::vector<std::wstring> WaitForStart() const
    {
        for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
            if (FileExists(File(L"started.txt")))
                return StartRecord();
            Sleep(50);
        }
        return {};
    }

    void ForgetStart() const { DeleteFileW(File(L"started.txt").c_str()); }

private:
    std::wstring path_;
};

// Paths as Windows compares them, without regard to letter case.
::testing::AssertionResult SamePath(const std::wstring& actual, const std::wstring& expected)
{
    if (lstrcmpiW(actual.c_str(), expected.c_str()) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Utf8(actual) << " is not " << Utf8(expected);
}

class AddressBookBridge : public ::testing::Test {
protected:
    AddressBookBridge()
    {
        install_.HoldProgram();
        WriteRegValue(L"1.64", StringValue(L"Dir", install_.Path()));
        DeleteFileW(HandOverPath().c_str());
    }
    ~AddressBookBridge() override { DeleteFileW(HandOverPath().c_str()); }

    DialogThread Configure()
    {
        return DialogThread([this] {
            return static_cast<INT_PTR>(monitor_.Functions()->ConfigurePort(nullptr, nullptr, port_));
        });
    }

    // As the address book sends: an atom naming the file, and the byte count to read.
    static void SendAddresses(HWND dialog, const std::wstring& atomName, DWORD byteCount)
    {
        const ATOM atom = GlobalAddAtomW(atomName.c_str());
        ASSERT_NE(atom, 0) << Utf8(atomName);
        PostMessageW(dialog, RegisterWindowMessageW(L"WM_SENDADDR"), atom, static_cast<LPARAM>(byteCount));
    }

    MessageBoxCatcher boxes_; // fails the test on any box
    RegistryScope registry_{{kStoredPort}};
    TestFolder install_{L"install"};
    LoadedMonitor monitor_;
    wchar_t port_[5] = L"NMX1";
};

TEST_F(AddressBookBridge, ButtonWritesTheListAndStartsTheProgramFromTheInstallationDirectory)
{
    const std::wstring longest = std::wstring(12993, L'p') + L"@x.jp;q";
    struct ListCase {
        std::wstring field;
        std::string file;
        const char* why;
    };
    const ListCase cases[] = {
        {kStoredList, std::string("a@x.jp;b@y.jp") + '\0', "the list and one zero byte"},
        {L"", "", "an empty list gives an empty file"},
        {longest, std::string(longest.begin(), longest.end() - 1) + '\0', "12,999 characters go, as OK takes them"},
    };
    WriteBytes(HandOverPath(), std::string(20000, 'o') + '\0'); // an older, longer hand-over
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        for (const ListCase& c : cases) {
            SCOPED_TRACE(c.why);
            install_.ForgetStart();
            SetControlText(dialog, IDC_SERV_ADDR, c.field);
            Click(dialog, IDC_ADDRESS_BOOK);
            EXPECT_EQ(FileBytes(HandOverPath()), c.file);
            const std::vector<std::wstring> started = install_.WaitForStart();
            ASSERT_EQ(started.size(), 5u) << "the program was not started";
            EXPECT_TRUE(SamePath(started[0], install_.File(L"pelmora.exe")));
            EXPECT_EQ(started[2], L"/p") << "command line: " << Utf8(started[1]);
            EXPECT_TRUE(SamePath(started[3], install_.Path())) << "the working directory";
            EXPECT_EQ(started[4], std::to_wstring(SW_RESTORE));
            EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), c.field) << "the field is kept";
        }
    });
}

TEST_F(AddressBookBridge, DuringAJobTheProgramStartsWithO)
{
    WriteRegValue(kPort, DwordValue(L"ShowSw", 1));
    PrintOutcome outcome;
    DialogThread job([&] {
        outcome = PrintDeletedJob(*monitor_.Functions(), kPort);
        return INT_PTR(0);
    });
    DriveDialog(job, kPortConfigCaption, [&](HWND dialog) {
        Click(dialog, IDC_ADDRESS_BOOK);
        const std::vector<std::wstring> started = install_.WaitForStart();
        ASSERT_EQ(started.size(), 5u) << "the program was not started";
        EXPECT_EQ(started[2], L"/o") << "command line: " << Utf8(started[1]);
    });
    EXPECT_EQ(FileBytes(HandOverPath()), std::string("a@x.jp;b@y.jp") + '\0');
}

TEST_F(AddressBookBridge, OnlyTheProgramInTheInstallationDirectoryIsStartedAndAMissingOneShowsNothing)
{
    // A program of the same name where a search by name would find it.
    TestFolder impostor(L"impostor");
    impostor.HoldProgram();
    TestFolder emptyInstall(L"empty");
    wchar_t path[32767] = {};
    GetEnvironmentVariableW(L"PATH", path, ARRAYSIZE(path));
    const std::wstring searchPath = path;
    SetEnvironmentVariableW(L"PATH", (impostor.Path() + L";" + searchPath).c_str());

    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        for (const std::wstring& directory : {emptyInstall.Path(), std::wstring(L"")}) {
            SCOPED_TRACE(Utf8(L"Dir: " + directory));
            WriteRegValue(L"1.64", StringValue(L"Dir", directory));
            DeleteFileW(HandOverPath().c_str());
            Click(dialog, IDC_ADDRESS_BOOK);
            EXPECT_EQ(FileBytes(HandOverPath()), std::string("a@x.jp;b@y.jp") + '\0') << "written all the same";
        }
        // Programs start in order: once this one has, one started before would have been seen.
        WriteRegValue(L"1.64", StringValue(L"Dir", install_.Path()));
        Click(dialog, IDC_ADDRESS_BOOK);
        EXPECT_EQ(install_.WaitForStart().size(), 5u);
        EXPECT_TRUE(impostor.StartRecord().empty()) << "a program found by its name was started";
        EXPECT_TRUE(thread.Flush());
        EXPECT_EQ(thread.FindDialog(kPortConfigCaption), dialog);
    });
    SetEnvironmentVariableW(L"PATH", searchPath.c_str());
    EXPECT_TRUE(boxes_.Seen().empty()) << Utf8(boxes_.Describe());
}

TEST_F(AddressBookBridge, SentAddressesReplaceTheListAndTheFileGoes)
{
    const std::string longList = std::string(12994, 'p') + "@x.jp;q@"; // 13,002 characters
    struct SentCase {
        std::string file;
        DWORD byteCount;
        std::wstring field;
        std::wstring (*atomCase)(std::wstring);
        const char* why;
    };
    const auto asIs = [](std::wstring text) { return text; };
    const SentCase cases[] = {
        {std::string("c@z.jp;d@w.jp") + '\0', 14, L"c@z.jp;d@w.jp", asIs, "the text and its terminator"},
        {std::string("h@s.jp") + '\0', 0xFFFFFFFF, L"h@s.jp", asIs, "a count larger than the file, the largest"},
        {std::string("i@r.jp;j@q.jp") + '\0', 6, L"i@r.jp", asIs, "a count smaller than the file"},
        {std::string("k@p.jp\r\n\r\n") + '\0', 11, L"k@p.jp", asIs, "trailing line breaks are dropped"},
        {longList + '\0', 13003, std::wstring(longList.begin(), longList.begin() + 12999) + L";", asIs,
         "more than 13,000 characters: 13,000, the last one ';'"},
        {std::string("l@o.jp") + '\0', 7, L"l@o.jp", Upper, "the path in upper case"},
        {std::string("m@n.jp") + '\0', 7, L"m@n.jp", Lower, "the path in lower case"},
    };
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        for (const SentCase& c : cases) {
            SCOPED_TRACE(c.why);
            SetControlText(dialog, IDC_SERV_ADDR, kStoredList);
            WriteBytes(HandOverPath(), c.file);
            const std::wstring atomName = c.atomCase(HandOverPath());
            SendAddresses(dialog, atomName, c.byteCount);
            ASSERT_TRUE(thread.Flush());
            EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), c.field);
            EXPECT_FALSE(FileExists(HandOverPath())) << "the file is left";
            EXPECT_EQ(GlobalFindAtomW(atomName.c_str()), 0) << "the atom is left";
        }
    });
}

TEST_F(AddressBookBridge, AHandOverNamingAnotherFileIsRefused)
{
    TestFolder elsewhere(L"elsewhere");
    const std::wstring spool = SpoolDirectory();
    // The last names the spool directory's file by another way: only the plain path is taken.
    const std::wstring others[] = {spool + L"\\other.txt", spool + L"\\PreDef.ADR.txt", elsewhere.File(L"PreDef.ADR"),
                                   spool + L"\\..\\" + spool.substr(spool.find_last_of(L'\\') + 1) + L"\\PreDef.ADR"};
    const std::string bytes = std::string("evil@x.jp") + '\0';
    WriteBytes(HandOverPath(), bytes);
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        for (const std::wstring& other : others) {
            SCOPED_TRACE(Utf8(other));
            if (!FileExists(other))
                WriteBytes(other, bytes);
            SendAddresses(dialog, other, static_cast<DWORD>(bytes.size()));
            ASSERT_TRUE(thread.Flush());
            EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), kStoredList);
            EXPECT_EQ(FileBytes(other), bytes) << "the file was touched";
            const ATOM atom = GlobalFindAtomW(other.c_str());
            EXPECT_NE(atom, 0) << "an atom that is not the hand-over's was deleted";
            GlobalDeleteAtom(atom);
        }
    });
    DeleteFileW((spool + L"\\other.txt").c_str());
    DeleteFileW((spool + L"\\PreDef.ADR.txt").c_str());
}

TEST_F(AddressBookBridge, AMissingFileLeavesTheListAlone)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        SendAddresses(dialog, HandOverPath(), 100);
        ASSERT_TRUE(thread.Flush());
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), kStoredList);
        EXPECT_EQ(GlobalFindAtomW(HandOverPath().c_str()), 0) << "the atom is left";
    });
}

// For a Japanese user (run by its own ctest entry): the list travels in code page 932, where a
// character may take two bytes, and a list of 12,999 such characters goes out whole.
TEST_F(AddressBookBridge, DISABLED_AJapaneseListTravelsInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 932u);
    std::wstring field;
    std::string file;
    for (int i = 0; i < 4333; ++i) {
        field += L"\u30C6\u30B9\u30C8";
        file += "\x83\x65\x83\x58\x83\x67";
    }
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        SetControlText(dialog, IDC_SERV_ADDR, field);
        Click(dialog, IDC_ADDRESS_BOOK);
        EXPECT_EQ(FileBytes(HandOverPath()), file + '\0');

        WriteBytes(HandOverPath(), std::string("\x83\x65\x83\x58\x83\x67@x.jp") + '\0');
        SendAddresses(dialog, HandOverPath(), 13);
        ASSERT_TRUE(thread.Flush());
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), L"\u30C6\u30B9\u30C8@x.jp");
    });
}
} // namespace
