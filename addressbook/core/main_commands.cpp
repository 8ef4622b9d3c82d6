#include "addressbook/core/main_commands.h"

#include "addressbook/core/address_store.h"
#include "addressbook/core/editors.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/about_dialog.h"
#include "addressbook/ui/find_dialog.h"
#include "addressbook/ui/toolbar.h"

#include <cstring>
#include <unordered_set>
#include <vector>

namespace {

constexpr DWORD kProgramPathBytes = 128;
constexpr char kHelpFile[] = "nmx.hlp>nmxhlp"; // the part after ">" names the help window
constexpr DWORD kHelpContext = 5;

char g_helpPath[MAX_PATH] = {}; // empty while help has not been opened

// The direction each display command shows next: 0 not used yet, then 1 ascending, 2 descending.
int g_nameDirection = 0;
int g_addressDirection = 0;

bool Ascending(int& direction)
{
    direction = direction == 1 ? 2 : 1;
    return direction == 1;
}

LRESULT ToList(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessage(list, message, wParam, lParam);
}

void AddItem(HWND list, EntryRef ref)
{
    ToList(list, LB_ADDSTRING, 0, static_cast<LPARAM>(ref));
}

template <class Entry>
bool IsLive(const std::vector<Entry>& entries, uint32_t index)
{
    return index < entries.size() && entries[index].state == kEntryLive;
}

// Adds the live entries of an order, forwards or backwards.
template <class Entry>
void AddInOrder(HWND list, const std::vector<uint32_t>& order, const std::vector<Entry>& entries, EntryKind kind,
                bool forwards)
{
    for (size_t i = 0; i < order.size(); ++i) {
        const uint32_t index = order[forwards ? i : order.size() - 1 - i];
        if (IsLive(entries, index))
            AddItem(list, MakeEntryRef(index, kind));
    }
}

template <class Entry>
void AddInIndexOrder(HWND list, const std::vector<Entry>& entries, EntryKind kind)
{
    for (uint32_t index = 0; index < entries.size(); ++index) {
        if (entries[index].state == kEntryLive)
            AddItem(list, MakeEntryRef(index, kind));
    }
}

// Empties the list and keeps it from repainting while `add` fills it.
template <class Add>
void Refill(Add add)
{
    const HWND list = g_program.mainList;
    const AddressBook& book = g_program.book;
    ToList(list, WM_SETREDRAW, FALSE);
    ToList(list, LB_RESETCONTENT);
    ToList(list, LB_INITSTORAGE, book.personal.Count() + book.groups.Count(), 0);
    add(list, book);
    ToList(list, WM_SETREDRAW, TRUE);
}

void ShowAndRepaint(HWND list)
{
    ShowWindow(list, SW_SHOW);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

void DisplayByName()
{
    const SortIndexes& sorted = g_program.book.sorted;
    if (sorted.personalByName.empty() && sorted.groupsByName.empty())
        return;
    const bool forwards = Ascending(g_nameDirection);
    Refill([&](HWND list, const AddressBook& book) {
        AddInOrder(list, book.sorted.personalByName, book.personal.entries, kKindPersonal, forwards);
        AddInOrder(list, book.sorted.groupsByName, book.groups.entries, kKindGroup, forwards);
    });
    ShowAndRepaint(g_program.mainList);
}

// Groups have no address: they follow in index order whatever the direction.
void DisplayByAddress()
{
    if (g_program.book.sorted.personalByAddress.empty())
        return;
    const bool forwards = Ascending(g_addressDirection);
    Refill([&](HWND list, const AddressBook& book) {
        AddInOrder(list, book.sorted.personalByAddress, book.personal.entries, kKindPersonal, forwards);
        AddInIndexOrder(list, book.groups.entries, kKindGroup);
    });
    ShowAndRepaint(g_program.mainList);
}

std::vector<int> SelectedItems(HWND list)
{
    const LRESULT count = ToList(list, LB_GETSELCOUNT);
    std::vector<int> items(count > 0 ? static_cast<size_t>(count) : 0);
    if (!items.empty())
        items.resize(static_cast<size_t>(ToList(list, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()))));
    return items;
}

EntryRef ItemRef(HWND list, int item)
{
    return static_cast<EntryRef>(ToList(list, LB_GETITEMDATA, static_cast<WPARAM>(item)));
}

void RemoveFromRecipientList(const std::unordered_set<EntryRef>& refs)
{
    const HWND recipients = g_program.recipientList;
    for (int item = static_cast<int>(ToList(recipients, LB_GETCOUNT)) - 1; item >= 0; --item) {
        if (refs.count(ItemRef(recipients, item)) != 0)
            ToList(recipients, LB_DELETESTRING, static_cast<WPARAM>(item));
    }
}

void MarkDeleted(EntryRef ref)
{
    AddressBook& book = g_program.book;
    const uint32_t index = RefIndex(ref);
    if (RefKind(ref) == kKindGroup) {
        if (index < book.groups.Count())
            book.groups.entries[index].state = kEntryDeleted;
    } else if (index < book.personal.Count()) {
        book.personal.entries[index].state = kEntryDeleted;
    }
}

// Deletes the selected entries without asking; a save that fails has told the user, and the
// entries stay deleted in this run.
void DeleteSelected(HWND window)
{
    const HWND list = g_program.mainList;
    const std::vector<int> selected = SelectedItems(list);
    if (selected.empty())
        return;
    const HCURSOR previous = SetCursor(g_program.waitCursor);
    std::vector<EntryRef> refs;
    for (int item : selected)
        refs.push_back(ItemRef(list, item));
    if (g_program.recipientList != nullptr)
        RemoveFromRecipientList(std::unordered_set<EntryRef>(refs.begin(), refs.end()));
    for (auto ref = refs.rbegin(); ref != refs.rend(); ++ref)
        MarkDeleted(*ref);
    SavePersonalFile(window);
    SaveGroupFile(window);
    RebuildSortIndexes(g_program.book);
    ToList(list, WM_SETREDRAW, FALSE);
    for (auto item = selected.rbegin(); item != selected.rend(); ++item)
        ToList(list, LB_DELETESTRING, static_cast<WPARAM>(*item));
    ToList(list, WM_SETREDRAW, TRUE);
    InvalidateRect(list, nullptr, TRUE);
    SetCursor(previous);
}

// "<the program's directory>\nmx.hlp>nmxhlp"; empty when the program's path does not fit.
void FormHelpPath()
{
    char program[kProgramPathBytes + 1] = {};
    const DWORD length = GetModuleFileName(nullptr, program, kProgramPathBytes);
    char* end = length > 0 && length < kProgramPathBytes ? strrchr(program, '\\') : nullptr;
    g_helpPath[0] = '\0';
    if (end == nullptr)
        return;
    end[1] = '\0';
    strcat(strcpy(g_helpPath, program), kHelpFile);
}

void ShowHelp(HWND window)
{
    FormHelpPath();
    if (g_helpPath[0] == '\0' || !WinHelp(window, g_helpPath, HELP_CONTEXT, kHelpContext))
        g_helpPath[0] = '\0'; // no quit request at exit
}

void ForwardToRecipientBox()
{
    if (g_program.recipientBox != nullptr)
        SendMessage(g_program.recipientBox, WM_COMMAND, MAKEWPARAM(IDC_RECIPIENT_ADD, 0), 0);
}

bool HasUndeletedPersonalEntry()
{
    for (const PersonalEntry& entry : g_program.book.personal.entries) {
        if (entry.state != kEntryDeleted)
            return true;
    }
    return false;
}

// The command in the main menu, in the context menu when it is there too, and its toolbar button.
void EnableCommand(int command, bool enabled)
{
    const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(GetMenu(g_program.mainWindow), command, state);
    if (g_program.contextMenu != nullptr)
        EnableMenuItem(g_program.contextMenu, command, state);
    for (const ToolButton& button : kToolButtons) {
        if (button.command == command)
            EnableWindow(GetDlgItem(g_program.toolbar, button.id), enabled);
    }
}

void EnableBoxButton(int id, bool enabled)
{
    EnableWindow(GetDlgItem(g_program.recipientBox, id), enabled);
}

void RefreshRecipientBox(int selected)
{
    const HWND recipients = g_program.recipientList;
    const LRESULT chosen = recipients != nullptr ? ToList(recipients, LB_GETSELCOUNT) : 0;
    const LRESULT held = recipients != nullptr ? ToList(recipients, LB_GETCOUNT) : 0;
    EnableBoxButton(IDC_RECIPIENT_ADD, selected > 0);
    EnableCommand(CMD_ADD_RECIPIENT, selected > 0);
    EnableBoxButton(IDC_RECIPIENT_REMOVE, chosen > 0);
    EnableBoxButton(IDC_RECIPIENT_SEND, held > 0);
}

} // namespace

void FillMainList()
{
    Refill([](HWND list, const AddressBook& book) {
        AddInIndexOrder(list, book.personal.entries, kKindPersonal);
        AddInIndexOrder(list, book.groups.entries, kKindGroup);
    });
}

void CloseHelp()
{
    if (g_helpPath[0] != '\0')
        WinHelp(g_program.mainWindow, g_helpPath, HELP_QUIT, 0);
}

void RefreshEnabling()
{
    const HWND list = g_program.mainList;
    if (list == nullptr)
        return;
    const int items = static_cast<int>(ToList(list, LB_GETCOUNT));
    const int selected = static_cast<int>(ToList(list, LB_GETSELCOUNT));
    EnableCommand(CMD_NEW_PERSONAL, true);
    EnableCommand(CMD_NEW_GROUP, items > 0 && HasUndeletedPersonalEntry());
    EnableCommand(CMD_FIND, items > 0);
    EnableCommand(CMD_DELETE, selected > 0);
    EnableCommand(CMD_EDIT, selected == 1);
    if (g_program.recipientBox != nullptr)
        RefreshRecipientBox(selected);
    DrawMenuBar(g_program.mainWindow);
}

void InsertAtTopOfMainList(EntryRef ref)
{
    ToList(g_program.mainList, LB_INSERTSTRING, 0, static_cast<LPARAM>(ref));
}

void RepaintEntryLists()
{
    InvalidateRect(g_program.mainList, nullptr, TRUE);
    if (g_program.recipientList != nullptr)
        InvalidateRect(g_program.recipientList, nullptr, TRUE);
}

bool RunCommand(HWND window, int id, int notification)
{
    switch (id) {
    case CMD_NEW_PERSONAL:
        OpenPersonalEditor(window, -1);
        RefreshEnabling();
        return true;
    case CMD_NEW_GROUP:
        OpenGroupEditor(window, -1);
        RefreshEnabling();
        return true;
    case CMD_ADD_RECIPIENT:
        ForwardToRecipientBox();
        return true;
    case CMD_EDIT:
        EditSelected(window, IDC_MAIN_LIST);
        return true;
    case CMD_NOTHING:
        return true;
    case CMD_DELETE:
        DeleteSelected(window);
        RefreshEnabling();
        return true;
    case CMD_FIND:
        OpenFindDialog(window);
        return true;
    case CMD_EXIT:
        SendMessage(window, WM_CLOSE, 0, 0);
        return true;
    case CMD_HELP:
        ShowHelp(window);
        return true;
    case CMD_ABOUT:
        ShowAboutDialog(window);
        return true;
    case IDC_MAIN_LIST:
        RefreshEnabling();
        if (notification == LBN_DBLCLK)
            EditSelected(window, IDC_MAIN_LIST);
        return true;
    case CMD_SORT_BY_NAME:
        DisplayByName();
        RefreshEnabling();
        return true;
    case CMD_SORT_BY_ADDRESS:
        DisplayByAddress();
        RefreshEnabling();
        return true;
    default:
        return false;
    }
}
