// The main window ("KapAddressBook"): its children and their layout, its settings, the status
// hint and the drawing of the main list. Its commands are in main_commands.cpp.
#include "addressbook/core/main_window.h"

#include "addressbook/core/main_commands.h"
#include "addressbook/core/program.h"
#include "addressbook/core/recipient_box.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/core/window_geometry.h"
#include "addressbook/core/window_settings.h"
#include "addressbook/ui/column_bar.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/icon_set.h"
#include "addressbook/ui/list_drawing.h"
#include "addressbook/ui/status_window.h"
#include "addressbook/ui/toolbar.h"

namespace {

constexpr DWORD kMainListStyle =
    WS_CHILD | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | LBS_NOTIFY; // no strings: EntryRefs

constexpr struct {
    int id;
    UINT hint;
} kRecipientBoxHints[] = {
    {IDC_RECIPIENT_ADD, IDS_HINT_ADD},
    {IDC_RECIPIENT_REMOVE, IDS_HINT_REMOVE},
    {IDC_RECIPIENT_SEND, IDS_HINT_SEND},
};

HWND CreateChild(HWND parent, const char* className, DWORD style, int id)
{
    return CreateWindowEx(0, className, "", WS_CHILD | style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_program.instance, nullptr);
}

bool IsNormalState(HWND window)
{
    return !IsIconic(window) && !IsZoomed(window);
}

LayoutMetrics CurrentMetrics()
{
    return {PaddedTextHeight(g_columnBarFont.Font()), PaddedTextHeight(g_statusFont.Font()),
            PaddedTextHeight(g_listFont.Font()), PaddedTextHeight(nullptr)};
}

void Place(HWND child, const Box& box)
{
    if (child != nullptr)
        MoveWindow(child, box.left, box.top, box.Width(), box.Height(), TRUE);
}

void PlaceToolButtons(const ChildLayout& layout)
{
    for (int i = 0; i < kToolButtonCount; ++i)
        Place(GetDlgItem(g_program.toolbar, kToolButtons[i].id), layout.toolButtons[i]);
}

void ShowChildren()
{
    for (HWND child : {g_program.toolbar, g_program.columnBar, g_program.mainList, g_program.statusWindow,
                       g_program.recipientBox}) {
        if (child != nullptr)
            ShowWindow(child, SW_SHOW);
    }
    InvalidateRect(g_program.toolbar, nullptr, TRUE);
}

// Takes r pixels off the window's height; false when the window kept its size (it cannot get
// smaller), so that the layout goes on with a partial row.
bool ShrinkBy(HWND window, int pixels)
{
    RECT outer;
    RECT before;
    RECT after;
    GetWindowRect(window, &outer);
    GetClientRect(window, &before);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top - pixels,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(window, &after);
    return after.bottom != before.bottom;
}

// Every size change. A window in its normal state is shrunk to whole list rows, which brings a
// new size change; the children show once the rows fit. Maximised, the list keeps a partial row.
void LayOut(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const LayoutMetrics metrics = CurrentMetrics();
    const bool withBox = g_program.recipientBox != nullptr;
    const ChildLayout layout = LayOutChildren(client.right, client.bottom, metrics, withBox);
    Place(g_program.toolbar, layout.toolbar);
    Place(g_program.columnBar, layout.columnBar);
    Place(g_program.statusWindow, layout.statusWindow);
    Place(g_program.recipientBox, layout.recipientBox);
    Place(g_program.mainList, layout.mainList);
    PlaceToolButtons(layout);
    ExtendLastColumn(g_program.columns, layout.columnBar.right);

    const int remainder = IsNormalState(window) ? RowSnapRemainder(client.bottom, metrics, withBox) : 0;
    if (remainder != 0 && ShrinkBy(window, remainder))
        return;
    ShowChildren();
}

void CreateToolButtons(HWND window)
{
    for (const ToolButton& button : kToolButtons)
        CreateChild(g_program.toolbar, "BUTTON", WS_VISIBLE | BS_OWNERDRAW, button.id);
    RECT client;
    GetClientRect(window, &client);
    PlaceToolButtons(LayOutChildren(client.right, client.bottom, CurrentMetrics(), g_program.recipientBox != nullptr));
}

// The children are created hidden; the first layout pass shows them.
void CreateChildren(HWND window)
{
    g_program.toolbar = CreateChild(window, kToolbarClass, 0, 0);
    g_program.columnBar = CreateChild(window, kColumnBarClass, 0, 0);
    g_program.mainList = CreateChild(window, "LISTBOX", kMainListStyle, IDC_MAIN_LIST);
    g_program.statusWindow = CreateChild(window, kStatusWindowClass, 0, 0);
    if (g_program.mode != kRecipientOff)
        g_program.recipientBox = CreateChild(window, kRecipientBoxClass, 0, 0);
    LayOut(window);
    RECT bar = {};
    GetClientRect(g_program.columnBar, &bar);
    g_program.columns = EdgesFromWidths(ReadColumnWidths(), 0, bar.right);
    CreateToolButtons(window);
    SetUpTooltips(g_program.toolbar);
}

LRESULT OnCreate(HWND window)
{
    g_program.mainWindow = window;
    g_statusFont.Make();
    g_mainIcons.Load(true);
    g_listFont.Make();
    CacheHighlightColours();
    CreateChildren(window);
    g_listFont.Apply(g_program.mainList);
    FillMainList();
    RefreshEnabling();
    return 0;
}

void OnClose(HWND window)
{
    SaveColumnWidths(WidthsFromEdges(g_program.columns));
    SaveZoom(IsZoomed(window) != FALSE);
    g_listFont.Detach(g_program.mainList);
    g_listFont.Delete();
    g_mainIcons.Release();
    DestroyWindow(window);
}

void OnDestroy()
{
    CloseHelp();
    g_statusFont.Delete();
    PostQuitMessage(0);
}

void OnSetCursor(HWND window, HWND underCursor, UINT mouseMessage)
{
    if (mouseMessage == WM_RBUTTONDOWN) {
        RefreshEnabling();
        if (underCursor == g_program.mainList && g_program.mainList != nullptr) {
            POINT at;
            GetCursorPos(&at);
            TrackPopupMenu(GetSubMenu(g_program.contextMenu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0,
                           window, nullptr);
        }
    }
    UpdateStatusHint(underCursor);
}

void OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlID != IDC_MAIN_LIST)
        return;
    if (g_program.book.personal.exists || g_program.book.groups.exists)
        DrawMainListItem(item, g_program.columns);
    DrawColumnSeparators(g_program.mainList, g_program.columns);
}

UINT HintFor(HWND window)
{
    if (window == nullptr)
        return 0;
    const HWND parent = GetParent(window);
    const int id = GetDlgCtrlID(window);
    if (parent != nullptr && parent == g_program.toolbar) {
        const ToolButton* button = FindToolButton(id);
        return button != nullptr ? button->hint : 0;
    }
    if (parent != nullptr && parent == g_program.recipientBox) {
        for (const auto& button : kRecipientBoxHints) {
            if (button.id == id)
                return button.hint;
        }
    }
    return 0;
}

} // namespace

void UpdateStatusHint(HWND underCursor)
{
    const UINT hint = HintFor(underCursor);
    if (hint == g_program.statusHint)
        return;
    g_program.statusHint = hint;
    if (g_program.statusWindow != nullptr) {
        InvalidateRect(g_program.statusWindow, nullptr, TRUE);
        UpdateWindow(g_program.statusWindow);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_MOVE:
        if (IsNormalState(window))
            SavePlacement(window);
        return 0;
    case WM_SIZE:
        LayOut(window);
        if (wParam != SIZE_MAXIMIZED && wParam != SIZE_MINIMIZED)
            SavePlacement(window);
        return 0;
    case WM_ACTIVATE:
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 1;
    case WM_QUERYENDSESSION:
        return g_program.modalOpen ? FALSE : TRUE;
    case WM_ENDSESSION:
        if (wParam)
            SendMessage(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETCURSOR:
        OnSetCursor(window, reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        return DefWindowProc(window, message, wParam, lParam);
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 0;
    case WM_MEASUREITEM:
        if (wParam == IDC_MAIN_LIST)
            MeasureMainListItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (RunCommand(window, LOWORD(wParam), HIWORD(wParam)))
            return 0;
        return DefWindowProc(window, message, wParam, lParam);
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
