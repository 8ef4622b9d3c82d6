#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_common.h"
#include "monitor/ui/dialog_ids.h"
#include "monitor/ui/dialogs.h"

namespace {
constexpr WCHAR kProposedPortName[] = L"NMX1";

// One add-port dialog at a time: these slots are shared by the whole process.
HFONT g_addPortFont = nullptr;
HHOOK g_helpKeyHook = nullptr;
UINT g_helpMessage = 0;

HWND TopLevelWindowOf(HWND window)
{
    while (window != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0)
        window = GetParent(window);
    return window;
}

// F1 in the dialog goes to the print manager's help message of the dialog window, not to the
// focused control.
LRESULT CALLBACK HelpKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(g_helpKeyHook, code, wParam, lParam);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code != MSGF_DIALOGBOX || message->message != WM_KEYDOWN || message->wParam != VK_F1)
        return FALSE;
    if (HWND topLevel = TopLevelWindowOf(message->hwnd))
        PostMessageW(topLevel, g_helpMessage, reinterpret_cast<WPARAM>(message->hwnd), 0);
    return TRUE;
}

void InstallHelpKeyHook()
{
    if (g_helpMessage == 0)
        g_helpMessage = RegisterWindowMessageW(L"Print Manager Help Message");
    g_helpKeyHook = SetWindowsHookExW(WH_MSGFILTER, HelpKeyHook, g_moduleInstance, GetCurrentThreadId());
}

void RemoveHelpKeyHook()
{
    if (g_helpKeyHook != nullptr) {
        UnhookWindowsHookEx(g_helpKeyHook);
        g_helpKeyHook = nullptr;
    }
}

void InitializeAddPortDialog(HWND dialog, WCHAR** resultSlot)
{
    CenterWindowOnScreen(dialog);
    ForceForegroundWindow(dialog);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(resultSlot));
    SendDlgItemMessageW(dialog, IDC_NEW_PORT_NAME, EM_LIMITTEXT, kMaxPortNameChars, 0);
    SetDlgItemTextW(dialog, IDC_NEW_PORT_NAME, kProposedPortName);
    InstallHelpKeyHook();
    g_addPortFont = CreateDialogFontFor(GetDlgItem(dialog, IDC_LABEL_FIRST));
    SendFontToControls(dialog, g_addPortFont, {IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDOK, IDCANCEL});
}

void AcceptPortName(HWND dialog)
{
    // Read more than the edit limit allows, so that a longer text is refused, not cut.
    WCHAR name[MAX_PATH];
    GetDlgItemTextW(dialog, IDC_NEW_PORT_NAME, name, MAX_PATH);
    if (!IsValidPortName(name)) {
        ShowResourceMessage(dialog, MB_ICONERROR, IDS_PORT_NAME_CAPTION, IDS_BAD_PORT_NAME, name);
        return;
    }
    auto* resultSlot = reinterpret_cast<WCHAR**>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    *resultSlot = DuplicateString(name);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK AddPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeAddPortDialog(dialog, reinterpret_cast<WCHAR**>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            AcceptPortName(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        RemoveHelpKeyHook();
        DeleteDialogFont(&g_addPortFont);
        return FALSE;
    default:
        return FALSE;
    }
}
} // namespace

WCHAR* ShowAddPortDialog(HWND owner)
{
    WCHAR* name = nullptr;
    const INT_PTR result = DialogBoxParamW(g_resourceLibrary, MAKEINTRESOURCEW(IDD_ADD_PORT), owner,
                                           AddPortDialogProc, reinterpret_cast<LPARAM>(&name));
    // The name is only filled by an OK that ends the dialog with 1.
    return result == 1 ? name : nullptr;
}
