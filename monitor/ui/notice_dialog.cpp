#include "common/scoped.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_settings.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_common.h"
#include "monitor/ui/dialog_ids.h"
#include "monitor/ui/dialogs.h"


namespace {
constexpr WCHAR kNoticeValue[] = L"347Check"; // 0: the notice is shown; else it is not

void ShowNoticeRegistryMessage()
{
    ShowMonitorMessage(IDS_NOTICE_REGISTRY, kStylePlain);
}

// Whether the user has switched the notice off. A missing value has never been confirmed, so
// the notice is shown; so it is when the key cannot be read, after telling the user.
bool IsNoticeSwitchedOff()
{
    ScopedKey key = OpenVersionKey(KEY_QUERY_VALUE);
    if (!key) {
        ShowNoticeRegistryMessage();
        return false;
    }
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (RegQueryValueExW(key.Get(), kNoticeValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &bytes) != ERROR_SUCCESS ||
        bytes != sizeof(value))
        return false;
    return value != 0;
}

// The notice dialog's one piece of state is its font, kept in the dialog (DWLP_USER).
void InitializeNoticeDialog(HWND dialog, ScopedFont* font)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(font));
    CenterWindowOnScreen(dialog);
    if (IsNoticeSwitchedOff()) {
        EndDialog(dialog, 1);
        return;
    }
    CheckDlgButton(dialog, IDC_NOTICE_DONT_SHOW, BST_UNCHECKED);
    SetFocus(dialog);
    ForceForegroundWindow(dialog);
    font->Reset(CreateDialogFontFor(GetDlgItem(dialog, IDC_NOTICE_DONT_SHOW)));
    SendFontToControls(dialog, font->Get(), {IDC_NOTICE_DONT_SHOW, IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDOK});
}

void ConfirmNotice(HWND dialog)
{
    ScopedKey key = OpenVersionKey(KEY_SET_VALUE);
    if (!key) {
        ShowNoticeRegistryMessage();
        EndDialog(dialog, 1);
        return;
    }
    const DWORD value = IsDlgButtonChecked(dialog, IDC_NOTICE_DONT_SHOW) == BST_CHECKED ? 1 : 0;
    if (RegSetValueExW(key.Get(), kNoticeValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value)) != ERROR_SUCCESS) {
        ShowNoticeRegistryMessage();
        return;
    }
    EndDialog(dialog, 1);
}

// There is no way out but OK: Escape and the close box (both IDCANCEL) are ignored.
INT_PTR CALLBACK NoticeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeNoticeDialog(dialog, reinterpret_cast<ScopedFont*>(lParam));
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            ConfirmNotice(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

extern "C" int WINAPI Display347Check(HWND owner)
{
    // The font outlives the dialog's controls.
    ScopedFont font;
    return static_cast<int>(DialogBoxParamW(g_resourceLibrary, MAKEINTRESOURCEW(IDD_NOTICE), owner,
                                            NoticeDialogProc, reinterpret_cast<LPARAM>(&font)));
}
