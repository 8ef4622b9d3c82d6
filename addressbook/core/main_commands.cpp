#include "addressbook/core/main_commands.h"

#include "addressbook/core/address_store.h"
#include "addressbook/core/editors.h"
#include "addressbook/core/entry_list_box.h"
#include "addressbook/core/main_list.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/about_dialog.h"
#include "addressbook/ui/find_dialog.h"
#include "addressbook/ui/toolbar.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr DWORD kProgramPathBytes = 128;
constexpr char kHelpFile[] = "nmx.hlp>nmxhlp"; // the part after ">" names the help window
constexpr DWORD kHelpContext = 5;

char g_helpPath[MAX_PATH] = {}; // empty while help has not been opened

LRESULT ToList(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessage(list, message, wParam, lParam);
}

// Puts the items into the list, emptied first, with its drawing held meanwhile. The items go in
// as the list box's own wide-character messages: they carry no text, and the narrow ones would
// each be translated for nothing (a third of the list's filling, 65 535 items).
void ShowItems(HWND list, const std::vector<EntryRef>& items)
{
    ToList(list, WM_SETREDRAW, FALSE);
    ToList(list, LB_RESETCONTENT);
    ToList(list, LB_INITSTORAGE, items.size(), 0);
    for (EntryRef ref : items)
        SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(ref));
    ToList(list, WM_SETREDRAW, TRUE);
}

void ShowAndRepaint(HWND list)
{
    ShowWindow(list, SW_SHOW);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
}

void Display(const std::optional<std::vector<EntryRef>>& items)
{
    if (!items)
        return;
    ShowItems(g_program.mainList, *items);
    ShowAndRepaint(g_program.mainList);
}

EntryRef ItemRef(HWND list, int item)
{
    return static_cast<EntryRef>(ToList(list, LB_GETITEMDATA, static_cast<WPARAM>(item)));
}

void DeleteItems(HWND list, const std::vector<int>& positions)
{
    for (int position : positions)
        ToList(list, LB_DELETESTRING, static_cast<WPARAM>(position));
}

// Deletes the selected entries without asking; a save that fails has told the user, and the
// entries stay deleted in this run.
void DeleteSelectedEntries(HWND window)
{
    const HWND list = g_program.mainList;
    const std::vector<int> selected = SelectedPositions(list);
    if (selected.empty())
        return;
    const HCURSOR previous = SetCursor(g_program.waitCursor);
    std::vector<EntryRef> refs;
    for (int item : selected)
        refs.push_back(ItemRef(list, item));
    const HWND recipients = g_program.recipientList;
    const std::vector<EntryRef> held = recipients != nullptr ? ListItems(recipients) : std::vector<EntryRef>();
    const DeletedItems deleted = DeleteSelected(g_program.book, selected, refs, held);
    DeleteItems(recipients, deleted.recipientPositions);
    SavePersonalFile(window);
    SaveGroupFile(window);
    InvalidateSortIndexes(g_program.book);
    ToList(list, WM_SETREDRAW, FALSE);
    DeleteItems(list, deleted.mainPositions);
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

int CountOf(HWND list, UINT message)
{
    return list != nullptr ? static_cast<int>(ToList(list, message)) : 0;
}

} // namespace

void FillMainList()
{
    ShowItems(g_program.mainList, ItemsInIndexOrder(g_program.book));
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
    const HWND recipients = g_program.recipientList;
    const ListCounts counts = {CountOf(list, LB_GETCOUNT), CountOf(list, LB_GETSELCOUNT),
                               g_program.recipientBox != nullptr, CountOf(recipients, LB_GETSELCOUNT),
                               CountOf(recipients, LB_GETCOUNT)};
    const Enabling enabling = EnablingFor(counts, g_program.book.personal);
    EnableCommand(CMD_NEW_PERSONAL, enabling.newPersonal);
    EnableCommand(CMD_NEW_GROUP, enabling.newGroup);
    EnableCommand(CMD_FIND, enabling.find);
    EnableCommand(CMD_DELETE, enabling.remove);
    EnableCommand(CMD_EDIT, enabling.edit);
    if (counts.recipientBox) {
        EnableBoxButton(IDC_RECIPIENT_ADD, enabling.addRecipient);
        EnableCommand(CMD_ADD_RECIPIENT, enabling.addRecipient);
        EnableBoxButton(IDC_RECIPIENT_REMOVE, enabling.removeRecipient);
        EnableBoxButton(IDC_RECIPIENT_SEND, enabling.send);
    }
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
        DeleteSelectedEntries(window);
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
        Display(DisplayByName(g_program.book, g_program.directions));
        RefreshEnabling();
        return true;
    case CMD_SORT_BY_ADDRESS:
        Display(DisplayByAddress(g_program.book, g_program.directions));
        RefreshEnabling();
        return true;
    default:
        return false;
    }
}
