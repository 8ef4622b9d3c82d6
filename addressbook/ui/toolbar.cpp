#include "addressbook/ui/toolbar.h"

#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"

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

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ToolButton* button = FindToolButton(LOWORD(wParam));
    if (button == nullptr)
        return DefWindowProc(window, message, wParam, lParam);
    SendMessage(g_program.mainWindow, WM_COMMAND, MAKEWPARAM(button->command, 0), 0);
    return 1;
}

} // namespace

LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        return 1;
    case WM_SETCURSOR:
        SetCursor(g_program.arrowCursor);
        UpdateStatusHint(reinterpret_cast<HWND>(wParam));
        return 1;
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
