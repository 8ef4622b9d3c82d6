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

// Every control in the tab order, from the first tab stop until the order comes back to it.
void ApplyFontToTabStops(HWND dialog, const FontSlot& font)
{
    HWND first = GetWindow(dialog, GW_CHILD);
    while (first != nullptr && (GetWindowLong(first, GWL_STYLE) & WS_TABSTOP) == 0)
        first = GetWindow(first, GW_HWNDNEXT);
    HWND control = first;
    for (int guard = 0; control != nullptr && guard < 256; ++guard) {
        font.Apply(control);
        control = GetNextDlgTabItem(dialog, control, FALSE);
        if (control == first)
            break;
    }
}

// The dialog's small-dialog font is its own (WM_INITDIALOG's lParam, kept in DWLP_USER): a find
// dialog open meanwhile keeps its own.
void OnInit(HWND dialog, FontSlot& font)
{
    SetWindowLongPtr(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&font));
    font.Make();
    font.Apply(dialog);
    ApplyFontToTabStops(dialog, font);
    SetDlgItemText(dialog, IDC_ABOUT_VERSION, kVersion);
    SetDlgItemText(dialog, IDC_ABOUT_DATE, kDate);
    SetDlgItemText(dialog, IDC_ABOUT_COPYRIGHT, kCopyright);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR colour = 0;
    if (AnswerLightGrey(message, wParam, colour))
        return colour;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, *reinterpret_cast<FontSlot*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == 0)
            EndDialog(dialog, 1);
        return TRUE;
    case WM_DESTROY:
        if (auto* font = reinterpret_cast<FontSlot*>(GetWindowLongPtr(dialog, DWLP_USER)))
            font->Delete();
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void ShowAboutDialog(HWND owner)
{
    FontSlot font;
    const ModalScope modal;
    DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_ABOUT), owner, AboutDialogProc,
                   reinterpret_cast<LPARAM>(&font));
}
