#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_common.h"
#include "monitor/ui/dialog_ids.h"
#include "monitor/ui/dialogs.h"

namespace {
constexpr WCHAR kProposedPortName[] = L"NMX1";

// Everything one open dialog keeps, in the dialog (DWLP_USER).
struct AddPortDialog {
    WCHAR* name = nullptr; // the accepted name, set by OK
    ScopedFont font;
    ScopedHook helpKeyHook;
};

AddPortDialog* StateOf(HWND dialog)
{
    return reinterpret_cast<AddPortDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

UINT HelpMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Print Manager Help Message");
    return message;
}

HWND TopLevelWindowOf(HWND window)
{
    while (window != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0)
        window = GetParent(window);
    return window;
}

// F1 in the dialog goes to the print manager's help message of the dialog window, not to the
// focused control. The hook is the calling thread's, so it needs no handle of its own.
LRESULT CALLBACK HelpKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code != MSGF_DIALOGBOX || message->message != WM_KEYDOWN || message->wParam != VK_F1)
        return FALSE;
    if (HWND topLevel = TopLevelWindowOf(message->hwnd))
        PostMessageW(topLevel, HelpMessage(), reinterpret_cast<WPARAM>(message->hwnd), 0);
    return TRUE;
}

void InitializeAddPortDialog(HWND dialog, AddPortDialog* state)
{
    CenterWindowOnScreen(dialog);
    ForceForegroundWindow(dialog);
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SendDlgItemMessageW(dialog, IDC_NEW_PORT_NAME, EM_LIMITTEXT, kMaxPortNameChars, 0);
    SetDlgItemTextW(dialog, IDC_NEW_PORT_NAME, kProposedPortName);
    HelpMessage(); // registered before the first F1
    state->helpKeyHook.Reset(SetWindowsHookExW(WH_MSGFILTER, HelpKeyHook, g_moduleInstance, GetCurrentThreadId()));
    state->font.Reset(CreateDialogFontFor(GetDlgItem(dialog, IDC_LABEL_FIRST)));
    SendFontToControls(dialog, state->font.Get(), {IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDOK, IDCANCEL});
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
    StateOf(dialog)->name = DuplicateString(name);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK AddPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeAddPortDialog(dialog, reinterpret_cast<AddPortDialog*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            AcceptPortName(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        if (AddPortDialog* state = StateOf(dialog))
            state->helpKeyHook.Reset();
        return FALSE;
    default:
        return FALSE;
    }
}
} // namespace

WCHAR* ShowAddPortDialog(HWND owner)
{
    AddPortDialog state;
    const INT_PTR result = DialogBoxParamW(g_resourceLibrary, MAKEINTRESOURCEW(IDD_ADD_PORT), owner,
                                           AddPortDialogProc, reinterpret_cast<LPARAM>(&state));
    // The name is only filled by an OK that ends the dialog with 1.
    return result == 1 ? state.name : nullptr;
}
