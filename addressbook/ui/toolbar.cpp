#include "addressbook/ui/toolbar.h"

#include <commctrl.h>

#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/bar_painting.h"
#include "common/scoped.h"

const ToolButton kToolButtons[5] = {
    {IDC_TOOL_NEW_PERSONAL, CMD_NEW_PERSONAL, IDB_TOOL_NEW_PERSONAL, IDS_TIP_NEW_PERSONAL, IDS_HINT_NEW_PERSONAL},
    {IDC_TOOL_NEW_GROUP, CMD_NEW_GROUP, IDB_TOOL_NEW_GROUP, IDS_TIP_NEW_GROUP, IDS_HINT_NEW_GROUP},
    {IDC_TOOL_EDIT, CMD_EDIT, IDB_TOOL_EDIT, IDS_TIP_EDIT, IDS_HINT_EDIT},
    {IDC_TOOL_DELETE, CMD_DELETE, IDB_TOOL_DELETE, IDS_TIP_DELETE, IDS_HINT_DELETE},
    {IDC_TOOL_FIND, CMD_FIND, IDB_TOOL_FIND, IDS_TIP_FIND, IDS_HINT_FIND},
};

const ToolButton* FindToolButton(int id)
{
    for (const ToolButton& button : kToolButtons) {
        if (button.id == id)
            return &button;
    }
    return nullptr;
}

namespace {
constexpr int kPictureSize = 32;

// Made once with the main window; both live to the end of the program.
HWND g_tooltip = nullptr;
HHOOK g_relayHook = nullptr;

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillLightGrey(dc, client);
    DrawLine(dc, kWhite, client.left, client.top, client.right, client.top);
    DrawLine(dc, kEdgeGrey, client.left, client.bottom - 1, client.right, client.bottom - 1);
    EndPaint(window, &paint);
}

// The button's picture as it stands: enabled, pressed or disabled. A picture that cannot be
// loaded leaves the button undrawn, the toolbar's grey showing through.
void DrawButton(const DRAWITEMSTRUCT& item)
{
    const ToolButton* button = FindToolButton(static_cast<int>(item.CtlID));
    if (button == nullptr || (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0)
        return;
    int id = button->bitmapBase;
    if ((item.itemState & ODS_SELECTED) != 0)
        id = button->bitmapBase + 1;
    if (!IsWindowEnabled(item.hwndItem))
        id = button->bitmapBase + 2;
    const ScopedBitmap picture(LoadBitmap(g_program.resources, MAKEINTRESOURCE(id)));
    if (!picture)
        return;
    const ScopedMemoryDc source(CreateCompatibleDC(item.hDC));
    const ScopedSelection selected(source.Get(), picture.Get());
    const RECT& to = item.rcItem;
    StretchBlt(item.hDC, to.left, to.top, to.right - to.left, to.bottom - to.top, source.Get(), 0, 0, kPictureSize,
               kPictureSize, SRCCOPY);
}

// The tooltip asks for a button's text when it is about to show it. Its other notifications get
// the default answer: a non-zero answer to the one before it shows would tell it that its
// position had been taken care of.
LRESULT OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    if (header.code != TTN_NEEDTEXTA)
        return DefWindowProc(window, message, wParam, lParam);
    auto& request = reinterpret_cast<NMTTDISPINFOA&>(header);
    const ToolButton* button = FindToolButton(GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom)));
    if (button != nullptr) {
        LoadResourceText(button->tooltip, request.szText, sizeof(request.szText));
        request.lpszText = request.szText;
        request.hinst = nullptr;
    }
    return 1;
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ToolButton* button = FindToolButton(LOWORD(wParam));
    if (button == nullptr)
        return DefWindowProc(window, message, wParam, lParam);
    SendMessage(g_program.mainWindow, WM_COMMAND, MAKEWPARAM(button->command, 0), 0);
    return 1;
}

bool IsRelayedMouseMessage(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
}

// The buttons are windows of their own: the tooltip sees the mouse over them only through this
// hook on the program's thread. A message a peek leaves in the queue is relayed when it is taken.
LRESULT CALLBACK RelayToTooltip(int code, WPARAM removal, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && removal == PM_REMOVE && g_program.toolbar != nullptr && IsRelayedMouseMessage(message->message) &&
        IsChild(g_program.toolbar, message->hwnd)) {
        MSG copy = {};
        copy.hwnd = message->hwnd;
        copy.message = message->message;
        copy.wParam = message->wParam;
        copy.lParam = message->lParam;
        SendMessage(g_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
    }
    return CallNextHookEx(g_relayHook, code, removal, lParam);
}

BOOL CALLBACK AddButtonTool(HWND child, LPARAM toolbar)
{
    char className[16] = {};
    GetClassName(child, className, sizeof(className));
    if (lstrcmpi(className, "Button") != 0)
        return TRUE;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = reinterpret_cast<HWND>(toolbar);
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessage(g_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return TRUE;
}
} // namespace

void SetUpTooltips(HWND toolbar)
{
    g_tooltip = CreateWindowEx(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, toolbar, nullptr, g_program.instance, nullptr);
    if (g_tooltip == nullptr)
        return;
    EnumChildWindows(toolbar, AddButtonTool, reinterpret_cast<LPARAM>(toolbar));
    g_relayHook = SetWindowsHookEx(WH_GETMESSAGE, RelayToTooltip, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 1;
    case WM_CREATE:
    case WM_DESTROY:
        return 1;
    case WM_SETCURSOR:
        SetCursor(g_program.arrowCursor);
        UpdateStatusHint(reinterpret_cast<HWND>(wParam));
        return 1;
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 1;
    case WM_NOTIFY:
        return OnNotify(window, message, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
