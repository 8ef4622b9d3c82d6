// The round trip between the two programs, both real: the port configuration dialog opened
// through the monitor's ConfigurePort, its "Address Book..." button, the installed pelmora.exe
// it starts from the installation directory, entries and groups picked and sent, and the
// dialog's field holding them afterwards.
#include "addressbook/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

const bool kQuietFailures = (PrintFailuresWithoutDebugOutput(), true);

constexpr wchar_t kPortConfigCaption[] = L"Velloprint Port Settings";
constexpr wchar_t kPort[] = L"NMX1";
constexpr wchar_t kKeptList[] = L"kept@x.jp;also@x.jp";

const RegKeySpec kStoredPort = {kPort, {StringValue(L"ServAddr", kKeptList, false), DwordValue(L"ShowSw", 0)}};

// Personal indexes 1 to 3; the group holds Bob and Cid. The main list shows them in that order,
// the group last.
const std::vector<PersonalRecord> kPeople = {
    {"Ann", "ann@x.jp", ";;", ""},
    {"Bob", "bob@x.jp", ";;", ""},
    {"Cid", "cid@x.jp", ";;", ""},
};
const std::vector<GroupRecord> kGroups = {{"Printers", "", {"Bob", "Cid"}}};
const uint32_t kPredefined = PersonalItem(0);

std::wstring HandOverPath()
{
    return SpoolDirectory() + L"\\PreDef.ADR";
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the user does in the address book between its start and its send.
using Picking = std::function<void(AddressBookRun& book)>;

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() { DeleteFileW(HandOverPath().c_str()); }

    // In the open dialog: presses "Address Book...", picks in the address book the button
    // started, sends, and returns once the dialog has handled what came back.
    void HandOverThroughTheAddressBook(DialogThread& thread, HWND dialog, const Picking& pick)
    {
        MessageBoxCatcher bookBoxes; // the address book shows none
        AddressBookRun book(&bookBoxes);
        Click(dialog, IDC_ADDRESS_BOOK);
        ASSERT_TRUE(book.Started()) << book.Describe();
        EXPECT_EQ(std::vector<uint32_t>{kPredefined}, book.Recipients());
        pick(book);
        EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        EXPECT_TRUE(thread.Flush());
    }

    DialogThread Configure()
    {
        return DialogThread([this] {
            return static_cast<INT_PTR>(monitor_.Functions()->ConfigurePort(nullptr, nullptr, port_));
        });
    }

    MessageBoxCatcher boxes_; // the monitor shows none
    RegistryScope registry_{{kStoredPort}};
    const SettingsScope settings_;
    const InstalledDataFiles data_;
    LoadedMonitor monitor_;
    wchar_t port_[5] = L"NMX1";
};

TEST_F(RoundTrip, ThePickedAddressesComeBackIntoTheField)
{
    const struct {
        const char* what;
        bool withGroups;
        Picking pick;
        std::wstring field;
    } cases[] = {
        {"the kept list, then a person and a group picked with command 102", true,
         [](AddressBookRun& book) {
             book.Select({0, 3});
             EXPECT_TRUE(book.Command(CMD_ADD_RECIPIENT));
         },
         L"kept@x.jp;also@x.jp;ann@x.jp;bob@x.jp;cid@x.jp"},
        {"no group file: the kept list removed, a person added with the add button", false,
         [](AddressBookRun& book) {
             book.SelectRecipients({0});
             EXPECT_TRUE(book.Press(IDC_RECIPIENT_REMOVE));
             book.Select({1});
             EXPECT_TRUE(book.Press(IDC_RECIPIENT_ADD));
         },
         L"bob@x.jp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<Bytes> groups = c.withGroups ? std::optional<Bytes>(GroupFile(kGroups)) : std::nullopt;
        ASSERT_TRUE(data_.Hold(PersonalFile(kPeople), groups));
        DialogThread thread = Configure();
        DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
            HandOverThroughTheAddressBook(thread, dialog, c.pick);
            EXPECT_EQ(c.field, ControlText(dialog, IDC_SERV_ADDR));
            EXPECT_FALSE(Exists(HandOverPath())) << "PreDef.ADR is left";
        });
    }
}

TEST_F(RoundTrip, TheJobStartDialogTakesTheAddressesToo)
{
    ASSERT_TRUE(data_.Hold(PersonalFile(kPeople), GroupFile(kGroups)));
    WriteRegValue(kPort, DwordValue(L"ShowSw", 1));
    // The job's start shows the dialog; the job, deleted at once, mails nothing.
    DialogThread job([&] { return static_cast<INT_PTR>(PrintDeletedJob(*monitor_.Functions(), kPort).jobId); });
    DriveDialog(job, kPortConfigCaption, [&](HWND dialog) {
        HandOverThroughTheAddressBook(job, dialog, [](AddressBookRun& book) {
            book.Select({3});
            EXPECT_TRUE(book.Press(IDC_RECIPIENT_ADD));
        });
        EXPECT_EQ(L"kept@x.jp;also@x.jp;bob@x.jp;cid@x.jp", ControlText(dialog, IDC_SERV_ADDR));
        EXPECT_FALSE(Exists(HandOverPath())) << "PreDef.ADR is left";
    });
}

#ifdef _WIN64
// The 32-bit build's address book in place of the installed one finds the 64-bit monitor's values.
TEST_F(RoundTrip, AThirtyTwoBitAddressBookHandsOverToTheSixtyFourBitDialog)
{
    const std::wstring book = InstallDirectory() + L"\\pelmora", build32 = DistDirectory() + L"\\..\\..\\win32\\dist\\pelmora";
    const struct Swap {
        std::wstring installed, built32;
        ~Swap() { MoveFileExW((installed + L".kept").c_str(), installed.c_str(), MOVEFILE_REPLACE_EXISTING); }
    } swaps[] = {{book + L".exe", build32 + L".exe"}, {book + L"RC.dll", build32 + L"RC.dll"}};
    for (const Swap& swap : swaps)
        ASSERT_TRUE(CopyFileW(swap.installed.c_str(), (swap.installed + L".kept").c_str(), FALSE) &&
                    CopyFileW(swap.built32.c_str(), swap.installed.c_str(), FALSE));
    ASSERT_TRUE(data_.Hold(PersonalFile(kPeople), GroupFile(kGroups)));
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        HandOverThroughTheAddressBook(thread, dialog, [](AddressBookRun& run) {
            const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, run.ProcessId());
            BOOL wow64 = FALSE;
            EXPECT_TRUE(IsWow64Process(process, &wow64) && wow64) << "not the 32-bit address book";
            CloseHandle(process);
            run.Select({0, 3});
            EXPECT_TRUE(run.Press(IDC_RECIPIENT_ADD));
        });
        EXPECT_EQ(L"kept@x.jp;also@x.jp;ann@x.jp;bob@x.jp;cid@x.jp", ControlText(dialog, IDC_SERV_ADDR));
    });
}
#endif

} // namespace
