// The installed address book's main window driven as a person would: the main list's items, the
// display orders, delete, saves that fail, and the window's place kept in "kapadr.ini".
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "common/scoped.h"
#include "tests/wine/support/window_probe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const bool kQuietFailures = (PrintFailuresWithoutDebugOutput(), true);

using Refs = std::vector<uint32_t>;


// Index 0 is the predefined entry; the file's records are 1, 2, 3. "a" and "A" tie by name.
const std::vector<PersonalRecord> kPeople = {
    {"b", "c@example.com", "1;2;3", "first"},
    {"A", "a@example.com", ";;", ""},
    {"a", "", ";;", "no address"},
};
const std::vector<GroupRecord> kGroups = {
    {"Zeta", "last by name", {"b", "a"}},
    {"alpha", "", {"A"}},
};

TEST(MainList, HoldsTheLivePersonalEntriesThenTheGroupsInIndexOrder)
{
    const SettingsScope settings;
    const struct {
        const char* name;
        bool personal;
        bool groups;
        Refs items;
    } cases[] = {
        {"both files", true, true, {PersonalItem(1), PersonalItem(2), PersonalItem(3), GroupItem(0), GroupItem(1)}},
        {"no group file", true, false, {PersonalItem(1), PersonalItem(2), PersonalItem(3)}},
        {"groups without people are not loaded", false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataDirectory data;
        if (c.personal) {
            ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile(kPeople)));
        }
        if (c.groups) {
            ASSERT_TRUE(data.Write(L"group.inf", GroupFile(kGroups)));
        }
        MessageBoxCatcher boxes;
        AddressBookRun book(L"", data.Path(), &boxes);
        ASSERT_TRUE(book.Started()) << book.Describe();
        EXPECT_EQ(c.items, book.Items());
        EXPECT_EQ(0, book.Close());
    }
}

// The program started over kPeople and kGroups; its boxes are caught (a box the test does not
// expect fails it).
class PeopleAndGroups : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data_.Write(L"personal.inf", PersonalFile(kPeople)));
        ASSERT_TRUE(data_.Write(L"group.inf", GroupFile(kGroups)));
        book_ = std::make_unique<AddressBookRun>(L"", data_.Path(), &boxes_);
        ASSERT_TRUE(book_->Started()) << book_->Describe();
    }
    void TearDown() override { EXPECT_EQ(0, book_->Close()); }

    const SettingsScope settings_;
    const DataDirectory data_;
    MessageBoxCatcher boxes_;
    std::unique_ptr<AddressBookRun> book_;
};

TEST_F(PeopleAndGroups, DisplayByNameAndByAddressEachAlternateAscendingAndDescending)
{
    const AddressBookRun& book = *book_;

    // By name: "a" (3) before "A" (2), the later of equal names first; groups after the people.
    const Refs byName = {PersonalItem(3), PersonalItem(2), PersonalItem(1), GroupItem(1), GroupItem(0)};
    const Refs byNameDescending = {PersonalItem(1), PersonalItem(2), PersonalItem(3), GroupItem(0), GroupItem(1)};
    // By address: the empty address stays last; groups in index order whatever the direction.
    const Refs byAddress = {PersonalItem(2), PersonalItem(1), PersonalItem(3), GroupItem(0), GroupItem(1)};
    const Refs byAddressDescending = {PersonalItem(3), PersonalItem(1), PersonalItem(2), GroupItem(0), GroupItem(1)};
    const struct {
        int command;
        Refs items;
    } steps[] = {
        {CMD_SORT_BY_NAME, byName},       {CMD_SORT_BY_NAME, byNameDescending},
        {CMD_SORT_BY_NAME, byName},       {CMD_SORT_BY_ADDRESS, byAddress},
        {CMD_SORT_BY_ADDRESS, byAddressDescending},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE("step " + std::to_string(++step));
        ASSERT_TRUE(book.Command(s.command));
        EXPECT_EQ(s.items, book.Items());
    }
}

HWND ChildOfClass(HWND parent, const wchar_t* className)
{
    return FindWindowExW(parent, nullptr, className, nullptr);
}

TEST_F(PeopleAndGroups, TheToolbarButtonsFollowTheSelectionAndTheLists)
{
    const AddressBookRun& book = *book_;
    const HWND toolbar = ChildOfClass(book.MainWindow(), L"ToolBarClass");
    ASSERT_NE(nullptr, toolbar);
    const int buttons[] = {IDC_TOOL_NEW_PERSONAL, IDC_TOOL_NEW_GROUP, IDC_TOOL_EDIT, IDC_TOOL_DELETE, IDC_TOOL_FIND};
    const struct {
        const char* name;
        std::vector<int> selected;
        bool deleteThem; // then delete the selection
        bool enabled[5]; // new personal, new group, edit, delete, find
    } steps[] = {
        {"nothing selected", {}, false, {true, true, false, false, true}},
        {"one item", {2}, false, {true, true, true, true, true}},
        {"two items", {0, 3}, false, {true, true, false, true, true}},
        {"everything deleted", {0, 1, 2, 3, 4}, true, {true, false, false, false, false}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        book.Select(step.selected);
        if (step.deleteThem) {
            ASSERT_TRUE(book.Command(CMD_DELETE));
        }
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(step.enabled[i], IsWindowEnabled(GetDlgItem(toolbar, buttons[i])) != FALSE) << buttons[i];
    }
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam)
{
    DWORD_PTR result = 0xDEAD;
    SendMessageTimeoutW(window, message, wParam, 0, SMTO_NORMAL, 30000, &result);
    return static_cast<LRESULT>(result);
}

TEST_F(PeopleAndGroups, ALogOffIsRefusedWhileAnEditorIsOpenAndEndsTheProgramOtherwise)
{
    const AddressBookRun& book = *book_;
    book.PostCommand(CMD_NEW_PERSONAL);
    const HWND editor = book.WaitForDialog();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(FALSE, SendWithin(book.MainWindow(), WM_QUERYENDSESSION, 0));
    PostClick(editor, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(editor));
    EXPECT_EQ(TRUE, SendWithin(book.MainWindow(), WM_QUERYENDSESSION, 0));
    // The session ends: the program closes as the close box would, saving its settings.
    SendWithin(book.MainWindow(), WM_ENDSESSION, TRUE);
    EXPECT_EQ(0, book_->WaitForExit());
    EXPECT_EQ(0, settings_.Read(L"window", L"zoom", -1));
}

TEST_F(PeopleAndGroups, DeleteRemovesTheSelectedEntriesWithoutAskingAndSavesBothFiles)
{
    // A confirmation would be an unexpected box.
    const AddressBookRun& book = *book_;
    const DataDirectory& data = data_;

    book.Select({0, 4}); // "b" and the group "alpha"
    ASSERT_TRUE(book.Command(CMD_DELETE));
    EXPECT_EQ((Refs{PersonalItem(2), PersonalItem(3), GroupItem(0)}), book.Items());
    // Whole files without the deleted entries; "b" leaves the group "Zeta", whose member "a" is
    // the first live entry of that name in any letter case: "A".
    EXPECT_EQ(PersonalFile({kPeople[1], kPeople[2]}), data.Read(L"personal.inf"));
    EXPECT_EQ(GroupFile({{"Zeta", "last by name", {"A"}}}), data.Read(L"group.inf"));
    EXPECT_EQ((std::vector<std::wstring>{L"group.inf", L"personal.inf"}), data.Files());

    book.Select({0, 1, 2});
    ASSERT_TRUE(book.Command(CMD_DELETE));
    EXPECT_EQ(Refs{}, book.Items());
    EXPECT_EQ(PersonalFile({}), data.Read(L"personal.inf"));
    EXPECT_EQ(GroupFile({}), data.Read(L"group.inf"));
}

TEST_F(PeopleAndGroups, AFailedSaveIsToldAndLeavesTheOldFileWhole)
{
    const AddressBookRun& book = *book_;
    const DataDirectory& data = data_;

    {
        // Another program holds "personal.inf" open without sharing: it cannot be replaced.
        const ScopedFile locked(CreateFileW(data.PathOf(L"personal.inf").c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(locked);
        boxes_.Expect(AddressBookString(IDS_APP_TITLE),
                     FormattedAddressBookString(IDS_SAVE_FAILED, data.PathOf(L"personal.inf")));
        book.Select({1});
        ASSERT_TRUE(book.Command(CMD_DELETE));
        EXPECT_TRUE(boxes_.WaitForBoxes(1)) << Utf8(boxes_.Describe());
    }
    EXPECT_EQ(PersonalFile(kPeople), data.Read(L"personal.inf"));
    // The group file was saved all the same: "A" (also the member "a" of "Zeta") left the groups.
    EXPECT_EQ(GroupFile({{"Zeta", "last by name", {"b"}}, {"alpha", "", {}}}), data.Read(L"group.inf"));
    EXPECT_EQ((std::vector<std::wstring>{L"group.inf", L"personal.inf"}), data.Files());
}

// Opens an editor by its command, names the new entry and accepts it; the editor closes once the
// entry is saved.
void AddByEditor(const AddressBookRun& book, int command, const std::wstring& name)
{
    book.PostCommand(command);
    const HWND editor = book.WaitForDialog();
    ASSERT_NE(nullptr, editor);
    SetControlText(editor, IDC_PERSONAL_NAME, name); // the name is control 100 in both editors
    PostClick(editor, IDOK);
    ASSERT_TRUE(WaitUntilGone(editor));
}

TEST(Save, GroupsStoredBesideAMissingPersonalFileAreKeptInABackupBeforeTheFirstGroupSave)
{
    const SettingsScope settings;
    const Bytes stored = GroupFile(kGroups);
    const Bytes earlierBackup = {1, 2, 3};
    const struct {
        const char* name;
        bool withEarlierBackup;
        const wchar_t* backup;
    } cases[] = {
        {"the first backup", false, L"group.inf.bak"},
        {"an earlier backup is kept too", true, L"group.inf.bak2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataDirectory data;
        ASSERT_TRUE(data.Write(L"group.inf", stored));
        if (c.withEarlierBackup) {
            ASSERT_TRUE(data.Write(L"group.inf.bak", earlierBackup));
        }
        MessageBoxCatcher boxes;
        AddressBookRun book(L"", data.Path(), &boxes);
        ASSERT_TRUE(book.Started()) << book.Describe();
        EXPECT_EQ(Refs{}, book.Items());

        AddByEditor(book, CMD_NEW_PERSONAL, L"Ann");
        EXPECT_EQ(PersonalFile({{"Ann", "", ";;", ""}}), data.Read(L"personal.inf"));
        EXPECT_EQ(stored, data.Read(L"group.inf"));
        AddByEditor(book, CMD_NEW_GROUP, L"Team");
        EXPECT_EQ(GroupFile({{"Team", "", {}}}), data.Read(L"group.inf"));
        EXPECT_EQ(stored, data.Read(c.backup));
        if (c.withEarlierBackup) {
            EXPECT_EQ(earlierBackup, data.Read(L"group.inf.bak"));
        }
        // Later saves replace the file alone.
        AddByEditor(book, CMD_NEW_GROUP, L"Crew");
        EXPECT_EQ(stored, data.Read(c.backup));
        const std::vector<std::wstring> files =
            c.withEarlierBackup ? std::vector<std::wstring>{L"group.inf", L"group.inf.bak", L"group.inf.bak2", L"personal.inf"}
                                : std::vector<std::wstring>{L"group.inf", L"group.inf.bak", L"personal.inf"};
        EXPECT_EQ(files, data.Files());
        EXPECT_EQ(0, book.Close());
    }
}

int WindowHeight(HWND window)
{
    RECT box = {};
    GetWindowRect(window, &box);
    return box.bottom - box.top;
}

// What the bars leave of the client area is a whole number of list rows.
::testing::AssertionResult ListHoldsWholeRows(const AddressBookRun& book)
{
    RECT client = {};
    GetClientRect(book.MainWindow(), &client);
    const int bars = WindowHeight(ChildOfClass(book.MainWindow(), L"ToolBarClass")) +
                     WindowHeight(ChildOfClass(book.MainWindow(), L"InBoxItemClass")) +
                     WindowHeight(ChildOfClass(book.MainWindow(), L"StatusWindowClass"));
    const int row = static_cast<int>(SendMessageW(book.MainList(), LB_GETITEMHEIGHT, 0, 0));
    if (row > 0 && (client.bottom - bars) % row == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "client height " << client.bottom << ", bars " << bars << ", row " << row;
}

RECT WindowBox(HWND window)
{
    RECT box = {};
    GetWindowRect(window, &box);
    return box;
}

TEST(Geometry, KeptInKapadrIniAsTheWindowMovesAndUsedAtTheNextStart)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile(kPeople)));
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_GT(desktop.right, 564);
    ASSERT_GT(desktop.bottom, 480);
    RECT moved = {};
    RECT client = {}; // at the start
    {
        MessageBoxCatcher boxes;
        AddressBookRun book(L"", data.Path(), &boxes);
        ASSERT_TRUE(book.Started()) << book.Describe();
        // The default: 544 by at most 320 (cut to whole rows), centred.
        const RECT placed = WindowBox(book.MainWindow());
        EXPECT_EQ((desktop.right - 544) / 2, placed.left);
        EXPECT_EQ((desktop.bottom - 320) / 2, placed.top);
        EXPECT_EQ(544, placed.right - placed.left);
        EXPECT_LE(placed.bottom - placed.top, 320);
        EXPECT_GT(placed.bottom - placed.top, 320 - 16 * 2);
        EXPECT_TRUE(ListHoldsWholeRows(book));
        GetClientRect(book.MainWindow(), &client);

        // A height that leaves part of a row is cut to whole rows.
        ASSERT_TRUE(SetWindowPos(book.MainWindow(), nullptr, 50, 60, 400, 301, SWP_NOZORDER | SWP_NOACTIVATE));
        moved = WindowBox(book.MainWindow());
        EXPECT_EQ(50, moved.left);
        EXPECT_EQ(60, moved.top);
        EXPECT_EQ(400, moved.right - moved.left);
        EXPECT_LE(moved.bottom - moved.top, 301);
        EXPECT_TRUE(ListHoldsWholeRows(book));
        EXPECT_EQ(50, settings.Read(L"window", L"x", -1));
        EXPECT_EQ(60, settings.Read(L"window", L"y", -1));
        EXPECT_EQ(400, settings.Read(L"window", L"width", -1));
        EXPECT_EQ(moved.bottom - moved.top, settings.Read(L"window", L"height", -1));
        EXPECT_EQ(0, book.Close());
    }
    // At close: not maximised, and the column widths; the notes column reached the right edge at
    // the start and keeps that width in a narrower window.
    EXPECT_EQ(0, settings.Read(L"window", L"zoom", -1));
    EXPECT_EQ(26, settings.Read(L"InBox", L"attribute", -1));
    EXPECT_EQ(100, settings.Read(L"InBox", L"sender", -1));
    EXPECT_EQ(100, settings.Read(L"InBox", L"date", -1));
    EXPECT_EQ(client.right - 226, settings.Read(L"InBox", L"subject", -1));

    MessageBoxCatcher boxes;
    AddressBookRun again(L"", data.Path(), &boxes);
    ASSERT_TRUE(again.Started()) << again.Describe();
    const RECT placed = WindowBox(again.MainWindow());
    EXPECT_EQ(moved.left, placed.left);
    EXPECT_EQ(moved.top, placed.top);
    EXPECT_EQ(moved.right, placed.right);
    EXPECT_EQ(moved.bottom, placed.bottom);
    EXPECT_EQ(0, again.Close());
}

// "MS Gothic" by its Japanese name in Shift-JIS, whatever the user's language.
const std::string kGothicFace = "\x4D\x53\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

void CheckMainListFont(BYTE charset)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile(kPeople)));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    LOGFONTA font = {};
    ASSERT_TRUE(ReadWindowFont(book.MainList(), &font));
    EXPECT_EQ(charset, font.lfCharSet);
    EXPECT_EQ(kGothicFace, font.lfFaceName);
    EXPECT_EQ(FW_NORMAL, font.lfWeight);
    EXPECT_EQ(0, book.Close());
}

TEST(Fonts, TheMainListUsesTheGothicFaceWithTheAnsiCharacterSet)
{
    ASSERT_NE(LANG_JAPANESE, PRIMARYLANGID(GetUserDefaultLangID()));
    CheckMainListFont(ANSI_CHARSET);
}

// Run by its own ctest entry with a Japanese locale.
TEST(Fonts, DISABLED_AJapaneseUserGetsTheShiftJisCharacterSet)
{
    ASSERT_EQ(LANG_JAPANESE, PRIMARYLANGID(GetUserDefaultLangID()));
    CheckMainListFont(SHIFTJIS_CHARSET);
}

} // namespace
