// Shows each monitor dialog in turn for scripts/screenshots.sh, which photographs the screen: a
// program of its own, outside the ctest suite, because it needs a real display. The script runs it
// for an English and for a Japanese user: the dialogs are found by their captions in the user's
// language.
#include "addressbook/core/resource_ids.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/shot_directory.h"

#include <gtest/gtest.h>

#include <memory>
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
                                    StringValue(L"NotifyAddr", L"me@example.jp"), DwordValue(L"PartSw", 1),
                                    // A port on a provider's submission service with a stored password:
                                    // the dialog shows that one is stored, never what it is.
                                    DwordValue(L"SMTPSecurity", 1), StringValue(L"SMTPUser", L"me@example.jp"),
                                    RegValue{L"SMTPPassword", REG_BINARY, {1, 2, 3, 4}}}},
                                  {L"1.64", {DwordValue(L"347Check", 0)}}});
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    std::wstring monitorName = ResourceString(IDS_MONITOR_NAME);
    wchar_t port[] = L"NMX1";

    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->AddPort(nullptr, nullptr, monitorName.data()));
        });
        HWND dialog = thread.WaitForDialog(InstalledDialogCaption(IDD_ADD_PORT));
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"add_port"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port));
        });
        HWND dialog = thread.WaitForDialog(InstalledDialogCaption(IDD_PORT_CONFIG));
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"port_config"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        const Display347CheckFn display347Check = FindDisplay347Check(monitor.Module());
        ASSERT_NE(display347Check, nullptr);
        DialogThread thread([&] { return static_cast<INT_PTR>(display347Check(nullptr)); });
        HWND dialog = thread.WaitForDialog(InstalledDialogCaption(IDD_NOTICE));
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"notice"));
        PostClick(dialog, IDOK);
        EXPECT_TRUE(thread.WaitForEnd());
    }
}

constexpr DWORD kTooltipDelayMs = 1500; // the tip shows once the mouse has rested a while

// Rests the mouse on the middle of a window.
void PointAt(HWND window)
{
    RECT box = {};
    GetWindowRect(window, &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

HWND ToolButton(const AddressBookRun& book, int id)
{
    return GetDlgItem(FindWindowExW(book.MainWindow(), nullptr, L"ToolBarClass", nullptr), id);
}

// One row selected, and the mouse resting on a toolbar button until its tooltip shows.
void SelectAndPointAt(const AddressBookRun& book, int row, int buttonId)
{
    book.Select({row});
    PointAt(ToolButton(book, buttonId));
    Sleep(kTooltipDelayMs);
}

// A few printers' mailboxes and two groups of them.
const std::vector<PersonalRecord> kSamplePeople = {
    {"Osaka office", "print.osaka@example.jp", "3F;West wing;Color", "A3 colour"},
    {"Head office", "print.hq@example.com", "1F;;", "Duplex, stapler"},
    {"Anna Berg", "anna.berg@example.com", ";;", "Proofs"},
    {"Lab plotter", "plotter@lab.example.org", ";;", "A0 roll"},
    {"Warehouse", "labels@store.example.com", ";;", "Label printer"},
};
const std::vector<GroupRecord> kSampleGroups = {
    {"All offices", "Every office printer", {"Osaka office", "Head office"}},
    {"Design", "Proofs and plots", {"Anna Berg", "Lab plotter"}},
};

bool WriteSampleBook(const DataDirectory& data)
{
    return data.Write(L"personal.inf", PersonalFile(kSamplePeople)) &&
           data.Write(L"group.inf", GroupFile(kSampleGroups));
}

// The installed address book in normal mode with people and groups, one row selected and the
// mouse on a toolbar button (its tooltip and status hint); then the find dialog after two
// searches, the about dialog, and the editors: a person, a group with a member selected, and the
// member chooser with two people picked.
TEST(DialogScreenshots, AddressBookWindows)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(WriteSampleBook(data));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    SelectAndPointAt(book, 1, IDC_TOOL_NEW_GROUP);
    EXPECT_TRUE(shots.Photograph(L"pelmora_main"));

    PointAt(ToolButton(book, IDC_TOOL_FIND));
    book.Command(CMD_FIND);
    const HWND find = book.WaitForDialog(AddressBookDialogCaption(IDD_FIND));
    ASSERT_NE(nullptr, find);
    TypeText(find, IDC_FIND_TEXT, L"office");
    Click(find, IDOK);
    Click(find, IDOK);
    EXPECT_TRUE(shots.Photograph(L"pelmora_find"));
    Click(find, IDCANCEL);

    book.PostCommand(CMD_ABOUT);
    const HWND about = book.WaitForDialog(AddressBookDialogCaption(IDD_ABOUT));
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(shots.Photograph(L"pelmora_about"));
    PostClick(about, IDOK);
    ASSERT_TRUE(WaitUntilGone(about));

    book.Select({0}); // "Osaka office"
    book.PostCommand(CMD_EDIT);
    const HWND person = book.WaitForEditor(Editor::Personal);
    ASSERT_NE(nullptr, person);
    EXPECT_TRUE(shots.Photograph(L"pelmora_personal_editor"));
    PostClick(person, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(person));

    book.Select({5}); // the group "All offices", after the five people
    book.PostCommand(CMD_EDIT);
    const HWND group = book.WaitForEditor(Editor::Group);
    ASSERT_NE(nullptr, group);
    SelectListItems(GetDlgItem(group, IDC_GROUP_MEMBERS), {1}, group);
    EXPECT_TRUE(shots.Photograph(L"pelmora_group_editor"));
    PostClick(group, IDC_GROUP_CHOOSE);
    const HWND chooser = book.WaitForEditor(Editor::MemberChooser);
    ASSERT_NE(nullptr, chooser);
    SelectListItems(GetDlgItem(chooser, IDC_CHOOSER_ENTRIES), {2, 3}, chooser);
    EXPECT_TRUE(shots.Photograph(L"pelmora_member_chooser"));
    PostClick(chooser, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(chooser));
    PostClick(group, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(group));
    EXPECT_EQ(0, book.Close());
}

// The port settings dialog's "Address Book..." button: the address book in recipient mode with a
// person and a group added to the recipient box after the dialog's list, before send; then the
// dialog holding them all.
TEST(DialogScreenshots, AddressBookHandOver)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const RegistryScope registry({{L"NMX1",
                                   {StringValue(L"ServAddr", L"printer1@example.jp;printer2@example.jp"),
                                    StringValue(L"UserAddr", L"me@example.jp"),
                                    StringValue(L"SMTPAddr", L"smtp.example.jp")}},
                                  {L"1.64", {DwordValue(L"347Check", 0)}}});
    const SettingsScope settings;
    const InstalledDataFiles data;
    ASSERT_TRUE(data.Hold(PersonalFile(kSamplePeople), GroupFile(kSampleGroups)));
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    wchar_t port[] = L"NMX1";
    DialogThread thread(
        [&] { return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port)); });
    DriveDialog(thread, InstalledDialogCaption(IDD_PORT_CONFIG), [&](HWND dialog) {
        MessageBoxCatcher boxes;
        AddressBookRun book(&boxes);
        Click(dialog, IDC_ADDRESS_BOOK);
        ASSERT_TRUE(book.Started()) << book.Describe();
        book.Select({2, 5}); // "Anna Berg" and "All offices"
        EXPECT_TRUE(book.Command(CMD_ADD_RECIPIENT));
        // The mouse on the send button: the status window shows its hint.
        const HWND send = GetDlgItem(book.RecipientBox(), IDC_RECIPIENT_SEND);
        PointAt(send);
        SendMessageW(send, WM_SETCURSOR, reinterpret_cast<WPARAM>(send), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_TRUE(shots.Photograph(L"pelmora_recipient_mode"));
        EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        EXPECT_TRUE(thread.Flush());
        EXPECT_TRUE(shots.Photograph(L"port_config_after_handover"));
    });
}

// The system's ANSI bytes of a text: Shift-JIS for a Japanese user.
std::string Ansi(const std::wstring& text)
{
    std::string bytes(text.size() * 2, '\0');
    bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

// Run with LC_ALL=ja_JP.UTF-8, beside the others: the main window of a Japanese user, names and
// notes in Japanese.
TEST(DialogScreenshots, DISABLED_JapaneseAddressBook)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const SettingsScope settings;
    const DataDirectory data;
    const std::string sales = Ansi(L"\u55b6\u696d\u90e8"); // the sales department
    ASSERT_TRUE(data.Write(L"personal.inf",
                           PersonalFile({{Ansi(L"\u5c71\u7530 \u592a\u90ce"), "yamada@example.jp", ";;", sales},
                                         {Ansi(L"\u4f50\u85e4 \u82b1\u5b50"), "sato@example.jp", ";;", ""},
                                         {"Tokyo printer", "print.tokyo@example.jp", ";;", Ansi(L"3\u968e")}})));
    ASSERT_TRUE(data.Write(L"group.inf", GroupFile({{sales, "", {"Tokyo printer"}}})));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    SelectAndPointAt(book, 1, IDC_TOOL_EDIT);
    EXPECT_TRUE(shots.Photograph(L"pelmora_japanese"));
    EXPECT_EQ(0, book.Close());
}
} // namespace
