// Shows each monitor dialog in turn for scripts/screenshots.sh, which photographs the screen: a
// program of its own, outside the ctest suite, because it needs a real display.
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/shot_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DialogScreenshots, EachDialogWaitsForItsPhotograph)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const RegistryScope registry({{L"NMX1",
                                   {StringValue(L"ServAddr", L"printer1@example.jp;printer2@example.jp"),
                                    StringValue(L"UserAddr", L"me@example.jp"),
                                    StringValue(L"SMTPAddr", L"smtp.example.jp"), DwordValue(L"Notification", 3),
                                    StringValue(L"NotifyAddr", L"me@example.jp"), DwordValue(L"PartSw", 1)}},
                                  {L"1.64", {DwordValue(L"347Check", 0)}}});
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    std::wstring monitorName = ResourceString(IDS_MONITOR_NAME);
    wchar_t port[] = L"NMX1";

    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->AddPort(nullptr, nullptr, monitorName.data()));
        });
        HWND dialog = thread.WaitForDialog(L"Add Velloprint Port");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"add_port"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port));
        });
        HWND dialog = thread.WaitForDialog(L"Velloprint Port Settings");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"port_config"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        const Display347CheckFn display347Check = FindDisplay347Check(monitor.Module());
        ASSERT_NE(display347Check, nullptr);
        DialogThread thread([&] { return static_cast<INT_PTR>(display347Check(nullptr)); });
        HWND dialog = thread.WaitForDialog(L"Velloprint Notice");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"notice"));
        PostClick(dialog, IDOK);
        EXPECT_TRUE(thread.WaitForEnd());
    }
}

const std::vector<PersonalRecord> kPeople = {
    {"Osaka office", "print.osaka@example.jp", "3F;West wing;Color", "A3 colour"},
    {"Head office", "print.hq@example.com", "1F;;", "Duplex, stapler"},
    {"Anna Berg", "anna.berg@example.com", ";;", "Proofs"},
    {"Lab plotter", "plotter@lab.example.org", ";;", "A0 roll"},
    {"Warehouse", "labels@store.example.com", ";;", "Label printer"},
};
const std::vector<GroupRecord> kGroups = {
    {"All offices", "Every office printer", {"Osaka office", "Head office"}},
    {"Design", "Proofs and plots", {"Anna Berg", "Lab plotter"}},
};

// The installed address book in normal mode with people and groups, one row selected.
TEST(DialogScreenshots, AddressBookMainWindow)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile(kPeople)));
    ASSERT_TRUE(data.Write(L"group.inf", GroupFile(kGroups)));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    book.Select({1});
    EXPECT_TRUE(shots.Photograph(L"pelmora_main"));
    EXPECT_EQ(0, book.Close());
}

// The port settings dialog's "Address Book..." button: the address book in recipient mode with a
// person and a group added to the recipient box after the dialog's list, before send; then the
// dialog holding them all.
TEST(DialogScreenshots, AddressBookHandOver)
{
    constexpr int kAddToRecipients = 102;
    constexpr int kSendButton = 107;
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const RegistryScope registry({{L"NMX1",
                                   {StringValue(L"ServAddr", L"printer1@example.jp;printer2@example.jp"),
                                    StringValue(L"UserAddr", L"me@example.jp"),
                                    StringValue(L"SMTPAddr", L"smtp.example.jp")}},
                                  {L"1.64", {DwordValue(L"347Check", 0)}}});
    const SettingsScope settings;
    const InstalledDataFiles data;
    ASSERT_TRUE(data.Hold(PersonalFile(kPeople), GroupFile(kGroups)));
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    wchar_t port[] = L"NMX1";
    DialogThread thread(
        [&] { return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port)); });
    DriveDialog(thread, L"Velloprint Port Settings", [&](HWND dialog) {
        MessageBoxCatcher boxes;
        AddressBookRun book(&boxes);
        Click(dialog, IDC_ADDRESS_BOOK);
        ASSERT_TRUE(book.Started()) << book.Describe();
        book.Select({2, 5}); // "Anna Berg" and "All offices"
        EXPECT_TRUE(book.Command(kAddToRecipients));
        // The mouse over the send button: the status window shows its hint.
        const HWND send = GetDlgItem(book.RecipientBox(), kSendButton);
        SendMessageW(send, WM_SETCURSOR, reinterpret_cast<WPARAM>(send), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_TRUE(shots.Photograph(L"pelmora_recipient_mode"));
        EXPECT_TRUE(book.Press(kSendButton));
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        EXPECT_TRUE(thread.Flush());
        EXPECT_TRUE(shots.Photograph(L"port_config_after_handover"));
    });
}
} // namespace
