#include "addressbook/ui/about_dialog.h"

#include "addressbook/core/modal_scope.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/light_grey.h"

namespace {
constexpr char kVersion[] = "1.50";
constexpr char kDate[] = "2001-03-12";
constexpr char kCopyright[] = "Copyright (C) 2001 Norvale. All rights reserved.";

// A small-dialog font of the about dialog's own: the find dialog, which may stay open meanwhile,
// keeps its font in g_smallDialogFont until it closes.
FontSlot g_aboutFont;

// Every control in the tab order, from the first tab stop until the order comes back to it.
void ApplyFontToTabStops(HWND dialog)
{
    HWND first = GetWindow(dialog, GW_CHILD);
    while (first != nullptr && (GetWindowLong(first, GWL_STYLE) & WS_TABSTOP) == 0)
        first = GetWindow(first, GW_HWNDNEXT);
    HWND control = first;
    for (int guard = 0; control != nullptr && guard < 256; ++guard) {
        g_aboutFont.Apply(control);
        control = GetNextDlgTabItem(dialog, control, FALSE);
        if (control == first)
            break;
    }
}

void OnInit(HWND dialog)
{
    g_aboutFont.Make();
    g_aboutFont.Apply(dialog);
    ApplyFontToTabStops(dialog);
    SetDlgItemText(dialog, IDC_ABOUT_VERSION, kVersion);
    SetDlgItemText(dialog, IDC_ABOUT_DATE, kDate);
    SetDlgItemText(dialog, IDC_ABOUT_COPYRIGHT, kCopyright);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    INT_PTR colour = 0;
    if (AnswerLightGrey(message, wParam, colour))
        return colour;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == 0)
            EndDialog(dialog, 1);
        return TRUE;
    case WM_DESTROY:
        g_aboutFont.Delete();
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void ShowAboutDialog(HWND owner)
{
    const ModalScope modal;
    DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_ABOUT), owner, AboutDialogProc, 0);
}
