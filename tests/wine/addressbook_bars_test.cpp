// The installed address book's column bar, find dialog and about dialog driven as a person would:
// mouse messages at the column bar's client coordinates, clicks and typing in the dialogs.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/window_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const bool kQuietFailures = (PrintFailuresWithoutDebugOutput(), true);

constexpr DWORD kSendTimeoutMs = 60000;
constexpr int kBarY = 5; // inside the column bar's height

using Refs = std::vector<uint32_t>;

uint32_t Personal(uint32_t index)
{
    return index << 16;
}

uint32_t Group(uint32_t index)
{
    return index << 16 | 1;
}

LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

HWND ColumnBar(const AddressBookRun& book)
{
    return FindWindowExW(book.MainWindow(), nullptr, L"InBoxItemClass", nullptr);
}

int ClientWidth(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right;
}

// The left button pressed at x, moved to each of `moves` and let go at the last place.
void DragOnBar(HWND bar, int x, const std::vector<int>& moves)
{
    SendTo(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, kBarY));
    for (int to : moves)
        SendTo(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, kBarY));
    SendTo(bar, WM_LBUTTONUP, 0, MAKELPARAM(moves.empty() ? x : moves.back(), kBarY));
}

// A click posts the sort command; it has run once the program's queue is through.
void ClickHeader(const AddressBookRun& book, int x)
{
    DragOnBar(ColumnBar(book), x, {});
    ASSERT_TRUE(WaitForPostedMessages(book.MainWindow()));
}

TEST(ColumnBar, TheNamesAndAddressesHeadersSortAndTheNotesHeaderDoesNothing)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile({{"Carl", "a@example.com", ";;", ""},
                                                          {"Anna", "c@example.com", ";;", ""},
                                                          {"Bert", "b@example.com", ";;", ""}})));
    ASSERT_TRUE(data.Write(L"group.inf", GroupFile({{"Team", "", {"Anna"}}})));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();

    // The default columns: icons 0-26, names 26-126, addresses 126-226, notes to the right edge.
    const int names = 60;
    const int addresses = 170;
    const int notes = 300;
    const Refs byName = {Personal(2), Personal(3), Personal(1), Group(0)};
    const Refs byNameDescending = {Personal(1), Personal(3), Personal(2), Group(0)};
    const struct {
        const char* name;
        int x;
        Refs items;
    } clicks[] = {
        {"notes: the list stays in index order", notes, {Personal(1), Personal(2), Personal(3), Group(0)}},
        {"names: ascending", names, byName},
        {"names again: descending", names, byNameDescending},
        {"names a third time: ascending", names, byName},
        // Ascending: the notes click above did not use up the first turn of the address order.
        {"addresses", addresses, {Personal(1), Personal(3), Personal(2), Group(0)}},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        ClickHeader(book, click.x);
        EXPECT_EQ(click.items, book.Items());
    }
    EXPECT_EQ(0, book.Close());
}

TEST(ColumnBar, DraggedBordersAndTheMaximisedWindowAreKeptInKapadrIniAtClose)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile({{"Anna", "anna@example.com", ";;", ""}})));
    int barWidth = 0;
    {
        MessageBoxCatcher boxes;
        AddressBookRun book(L"", data.Path(), &boxes);
        ASSERT_TRUE(book.Started()) << book.Describe();
        const HWND bar = ColumnBar(book);
        // From icons 0-26, names 26-126, addresses 126-226: each drag grabs a border in its zone.
        DragOnBar(bar, 128, {150, 182});     // names-addresses to 180: addresses 180-280
        DragOnBar(bar, 279, {249});          // addresses-notes to 250: addresses 180-250
        SendTo(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(251, kBarY));
        SendTo(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, kBarY));
        SendTo(bar, WM_CANCELMODE);          // the capture is lost: that drag is abandoned
        SendTo(bar, WM_LBUTTONUP, 0, MAKELPARAM(400, kBarY));
        DragOnBar(bar, 181, {100, -49});     // left of the bar: dropped at 0, names hidden
        PostMessageW(book.MainWindow(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(WaitForPostedMessages(book.MainWindow()));
        ASSERT_TRUE(IsZoomed(book.MainWindow()));
        barWidth = ClientWidth(bar);
        EXPECT_EQ(0, book.Close());
    }
    const struct {
        const wchar_t* key;
        int width;
    } expected[] = {{L"attribute", 26}, {L"sender", 0}, {L"date", 70}, {L"subject", barWidth - 96}};
    for (const auto& column : expected)
        EXPECT_EQ(column.width, settings.Read(L"InBox", column.key, -1)) << Utf8(column.key);
    EXPECT_EQ(1, settings.Read(L"window", L"zoom", -1));

    // The next start reads them back, maximised, and saves them again.
    MessageBoxCatcher boxes;
    AddressBookRun again(L"", data.Path(), &boxes);
    ASSERT_TRUE(again.Started()) << again.Describe();
    ASSERT_TRUE(WaitForPostedMessages(again.MainWindow()));
    EXPECT_TRUE(IsZoomed(again.MainWindow()));
    EXPECT_EQ(0, again.Close());
    for (const auto& column : expected)
        EXPECT_EQ(column.width, settings.Read(L"InBox", column.key, -1)) << Utf8(column.key);
}

// The selected items of the main list, in list order.
std::vector<int> SelectedItems(const AddressBookRun& book)
{
    std::vector<int> selected;
    const auto count = static_cast<int>(SendTo(book.MainList(), LB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        if (SendTo(book.MainList(), LB_GETSEL, i) > 0)
            selected.push_back(i);
    }
    return selected;
}

HWND OpenFind(const AddressBookRun& book)
{
    book.Command(CMD_FIND);
    return book.WaitForDialog(L"Find");
}

bool ToolEnabled(const AddressBookRun& book, int id)
{
    return IsWindowEnabled(GetDlgItem(FindWindowExW(book.MainWindow(), nullptr, L"ToolBarClass", nullptr), id)) !=
           FALSE;
}

TEST(Find, FindNextWalksThroughTheMatchesAndSaysWhenNothingMatches)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile({{"Anna Print", "anna@print.example", ";;", ""},
                                                          {"Bert", "bert@print.example", ";;", ""},
                                                          {"Carl Print", "CARL@example.com", ";;", ""}})));
    ASSERT_TRUE(data.Write(L"group.inf", GroupFile({{"Printers", "", {"Anna"}}, {"Office", "", {"Bert"}}})));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    // The list: Anna Print, Bert, Carl Print, Printers, Office.
    ASSERT_EQ((Refs{Personal(1), Personal(2), Personal(3), Group(0), Group(1)}), book.Items());

    const HWND dialog = OpenFind(book);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(IsChecked(dialog, IDC_FIND_NAMES));
    book.Command(CMD_FIND); // brings the open dialog forward instead of a second one
    EXPECT_EQ(1u, ProcessWindows(book.ProcessId(), L"#32770", L"Find").size());
    EXPECT_FALSE(ToolEnabled(book, IDC_TOOL_EDIT));

    constexpr int kNothing = -1;
    enum Way { kButton, kEnterKey, kButtonAfterFocusLeft }; // how find next is asked for
    const struct {
        const char* name;
        const wchar_t* text; // typed before the search; nullptr keeps the text
        std::vector<int> radios; // clicked before the search
        Way way;
        int found;
    } steps[] = {
        {"the first name that contains it", L"Print", {}, kButton, 0},
        {"then the next, even after the focus went elsewhere and came back", nullptr, {}, kButtonAfterFocusLeft, 2},
        {"a group by its name, asked for with the Enter key", nullptr, {}, kEnterKey, 3},
        {"after the last match, the top again", nullptr, {}, kButton, 0},
        {"addresses, letter case counts", L"print", {IDC_FIND_ADDRESSES}, kButton, 0},
        {"the next address", nullptr, {}, kButton, 1},
        {"a change of kind starts at the top", nullptr, {IDC_FIND_NAMES, IDC_FIND_ADDRESSES}, kButton, 0},
        {"a text that matches nothing", L"Zed", {}, kButton, kNothing},
        {"says so every time", nullptr, {}, kButton, kNothing},
        {"groups have no address", L"Offi", {}, kButton, kNothing},
    };
    size_t expectedBoxes = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.text != nullptr)
            SetControlText(dialog, IDC_FIND_TEXT, step.text);
        for (int radio : step.radios)
            Click(dialog, radio);
        const HWND edit = GetDlgItem(dialog, IDC_FIND_TEXT);
        if (step.way == kButtonAfterFocusLeft) {
            SendTo(dialog, WM_COMMAND, MAKEWPARAM(IDC_FIND_TEXT, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
            SendTo(dialog, WM_COMMAND, MAKEWPARAM(IDC_FIND_TEXT, EN_SETFOCUS), reinterpret_cast<LPARAM>(edit));
        }
        if (step.found == kNothing) {
            boxes.Expect(AddressBookString(IDS_APP_TITLE), AddressBookString(IDS_NOT_FOUND));
            PostClick(dialog, IDOK); // the box waits for its answer
            ASSERT_TRUE(boxes.WaitForBoxes(++expectedBoxes)) << Utf8(boxes.Describe());
            const HWND box = FindProcessWindow(book.ProcessId(), L"#32770", AddressBookString(IDS_APP_TITLE));
            ASSERT_TRUE(box == nullptr || WaitUntilGone(box));
            continue;
        }
        if (step.way == kEnterKey) {
            PostKey(edit, VK_RETURN); // the main loop hands it to the dialog
            ASSERT_TRUE(WaitForPostedMessages(book.MainWindow()));
        } else {
            Click(dialog, IDOK);
        }
        EXPECT_EQ(std::vector<int>{step.found}, SelectedItems(book));
        EXPECT_TRUE(ToolEnabled(book, IDC_TOOL_EDIT)) << "the commands follow the found item";
    }

    Click(dialog, IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    const HWND reopened = OpenFind(book);
    ASSERT_NE(nullptr, reopened);
    EXPECT_TRUE(IsChecked(reopened, IDC_FIND_NAMES));
    EXPECT_EQ(0, book.Close());
}

// "MS Gothic" by its Japanese name in Shift-JIS.
const std::string kGothicFace = "\x4D\x53\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

std::string FontFace(HWND window)
{
    LOGFONTA font = {};
    return ReadWindowFont(window, &font) ? std::string(font.lfFaceName) : std::string("(no font)");
}

TEST(About, ShowsTheVersionDateAndCopyrightWhileTheFindDialogKeepsItsFont)
{
    const SettingsScope settings;
    const DataDirectory data;
    ASSERT_TRUE(data.Write(L"personal.inf", PersonalFile({{"Anna", "anna@example.com", ";;", ""}})));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    ASSERT_TRUE(book.Started()) << book.Describe();
    const HWND find = OpenFind(book);
    ASSERT_NE(nullptr, find);

    book.PostCommand(CMD_ABOUT);
    const HWND about = book.WaitForDialog(L"About Address Book");
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(L"1.50", ControlText(about, IDC_ABOUT_VERSION));
    EXPECT_EQ(L"2001-03-12", ControlText(about, IDC_ABOUT_DATE));
    const std::wstring copyright = ControlText(about, IDC_ABOUT_COPYRIGHT);
    EXPECT_EQ(0u, copyright.find(L"Copyright (C) 2001 ")) << Utf8(copyright);
    EXPECT_EQ(std::wstring::npos, copyright.find_first_of(L"\r\n")) << "one line";
    // The program's font goes to the tab stops (the OK button); the texts keep the template's.
    EXPECT_EQ(kGothicFace, FontFace(GetDlgItem(about, IDOK)));
    EXPECT_NE(kGothicFace, FontFace(GetDlgItem(about, IDC_ABOUT_VERSION)));
    EXPECT_EQ(FALSE, SendTo(book.MainWindow(), WM_QUERYENDSESSION)) << "no log-off while it is open";

    PostClick(about, IDOK);
    ASSERT_TRUE(WaitUntilGone(about));
    EXPECT_EQ(TRUE, SendTo(book.MainWindow(), WM_QUERYENDSESSION));
    EXPECT_EQ(kGothicFace, FontFace(GetDlgItem(find, IDC_FIND_TEXT))) << "the find dialog's font is still there";
    EXPECT_EQ(0, book.Close());
}

} // namespace
