#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/part_plan.h"
#include "monitor/core/protected_password.h"
#include "monitor/core/stored_numbers.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/text_conversion.h"
#include "monitor/ui/address_book_bridge.h"
#include "monitor/ui/address_list.h"
#include "monitor/ui/dialog_common.h"
#include "monitor/ui/dialog_ids.h"
#include "monitor/ui/dialogs.h"
#include "monitor/ui/part_limit_rule.h"

#include <memory>
#include <new>

namespace {
// Edit limits, in characters. Every field of the settings record holds what its edit allows.
constexpr int kAddressEditChars = 128;
constexpr int kPartLimitEditChars = 5;
constexpr int kSmtpPortEditChars = 5;
constexpr int kComboItemChars = 200;
// What the password field holds while a password is stored: never the password itself, only
// something for the mask to show.
constexpr WCHAR kStoredPasswordPlaceholder[] = L"********";

constexpr WCHAR kVersionText[] = L"1.64";
constexpr WCHAR kReleaseDateText[] = L"2005-02-21";
constexpr WCHAR kCopyrightText[] = L"Copyright (C) 2005 Norvale\rAll rights reserved.";
constexpr WCHAR kHelpFileSuffix[] = L"\\nmx.hlp>nmxhlp";
constexpr DWORD kHelpContext = 1;

// Everything one open dialog keeps, in the dialog (DWLP_USER): two dialogs open at once on two
// threads share nothing.
struct PortConfigDialog {
    PortConfigDialog(const PortSettings& shown, PortSettings* result, bool forJob, PortSettingsStore& store,
                     ServerFields server)
        : edited(shown), result(result), forJob(forJob), server(server), store(store)
    {
    }
    PortSettings edited; // what OK reads the controls into
    PortSettings* result;
    bool forJob;
    ServerFields server;
    PortSettingsStore& store;
    ScopedFont font;
    UINT sendAddressMessage = 0; // "WM_SENDADDR", posted by the address book
};

PortConfigDialog* StateOf(HWND dialog)
{
    return reinterpret_cast<PortConfigDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void EnableNotifyAddress(HWND dialog, bool enable)
{
    EnableControls(dialog, enable, {IDC_NOTIFY_ADDR_LABEL, IDC_NOTIFY_ADDR});
}

void EnablePartLimit(HWND dialog, bool enable)
{
    EnableControls(dialog, enable, {IDC_PART_LIMIT, IDC_PART_LIMIT_LABEL, IDC_PART_LIMIT_UNIT});
}

// The drop-down's items are the strings first to last; the item's index is the stored value. A
// stored value with no item selects none.
void FillChoices(HWND dialog, int id, UINT first, UINT last, DWORD selected)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (UINT text = first; text <= last; ++text) {
        WCHAR name[kComboItemChars];
        LoadStringW(g_resourceLibrary, text, name, kComboItemChars);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

DWORD SelectedNotificationMode(HWND dialog)
{
    const LRESULT index = SendDlgItemMessageW(dialog, IDC_NOTIFICATION, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<DWORD>(index);
}

void ShowPasswordState(HWND dialog, bool stored)
{
    SetDlgItemTextW(dialog, IDC_SMTP_PASSWORD, stored ? kStoredPasswordPlaceholder : L"");
    SendDlgItemMessageW(dialog, IDC_SMTP_PASSWORD, EM_SETMODIFY, FALSE, 0);
    WCHAR state[kComboItemChars] = L"";
    LoadStringW(g_resourceLibrary, stored ? IDS_PASSWORD_STORED : IDS_NO_PASSWORD, state, kComboItemChars);
    SetDlgItemTextW(dialog, IDC_PASSWORD_STATE, state);
}

bool HasStoredPassword(const PortSettings* settings)
{
    return settings->SMTPPasswordBytes != 0 || settings->SMTPPasswordHeldByMonitor;
}

void ShowSecureSettings(HWND dialog, const PortSettings* settings)
{
    FillChoices(dialog, IDC_SMTP_SECURITY, IDS_SECURITY_NONE, IDS_SECURITY_TLS, settings->SMTPSecurity);
    if (settings->SMTPPort != 0)
        SetDlgItemInt(dialog, IDC_SMTP_PORT, settings->SMTPPort, FALSE);
    else
        SetDlgItemTextW(dialog, IDC_SMTP_PORT, L""); // the mode's own port
    SetDlgItemTextW(dialog, IDC_SMTP_USER, settings->SMTPUser);
    ShowPasswordState(dialog, HasStoredPassword(settings));
}

// False, after the message, for a port number out of range; the dialog stays open.
bool AcceptSecureSettings(HWND dialog, PortSettings* settings)
{
    const LRESULT security = SendDlgItemMessageW(dialog, IDC_SMTP_SECURITY, CB_GETCURSEL, 0, 0);
    if (security != CB_ERR) // none selected: a bad stored value stays, and the port keeps mailing nothing
        settings->SMTPSecurity = static_cast<DWORD>(security);
    BOOL portRead = FALSE;
    const UINT port = GetDlgItemInt(dialog, IDC_SMTP_PORT, &portRead, FALSE);
    const bool portEmpty = GetWindowTextLengthW(GetDlgItem(dialog, IDC_SMTP_PORT)) == 0;
    if (!portEmpty && (!portRead || port == 0 || !kSmtpPortRange.Holds(port))) {
        ShowMonitorMessage(IDS_SMTP_PORT_RANGE, kStyleError);
        return false;
    }
    settings->SMTPPort = portEmpty ? 0 : port;
    GetDlgItemTextW(dialog, IDC_SMTP_USER, settings->SMTPUser, kAddressEditChars + 1);
    // The stored password stays unless the user typed another (or emptied the field).
    if (SendDlgItemMessageW(dialog, IDC_SMTP_PASSWORD, EM_GETMODIFY, 0, 0) != 0) {
        WCHAR password[kMaxPasswordChars + 1] = L"";
        GetDlgItemTextW(dialog, IDC_SMTP_PASSWORD, password, ARRAYSIZE(password));
        ProtectPassword(password, settings);
        SecureZeroMemory(password, sizeof password);
        settings->SMTPPasswordHeldByMonitor = false; // what was typed replaces it, or empty removes it
        ShowPasswordState(dialog, HasStoredPassword(settings));
    }
    return true;
}

void ShowPortConfigHelp(HWND dialog)
{
    WCHAR path[kDirectoryChars + ARRAYSIZE(kHelpFileSuffix)];
    ReadInstallDirectory(path);
    lstrcatW(path, kHelpFileSuffix);
    WinHelpW(dialog, path, HELP_CONTEXT, kHelpContext);
}

void ApplyPortConfigFont(HWND dialog, HFONT font)
{
    // The edits and the version texts keep the template font.
    SendFontToControls(dialog, font,
                       {IDC_SHOW_SW, IDC_ADDRESS_BOOK, IDC_NOTIFICATION, IDC_GROUP_ABOUT, IDC_PART_SW,
                        IDC_CHECK_MAIL_SW, IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDC_LABEL_SMTP,
                        IDC_LABEL_NOTIFY, IDC_GROUP_DEST, IDC_GROUP_SENDER, IDC_GROUP_NOTIFY,
                        IDC_GROUP_JOBS, IDC_LABEL_VERSION, IDC_LABEL_DATE, IDOK, IDCANCEL, IDC_RELOAD,
                        IDC_HELP_BUTTON, IDC_NOTIFY_ADDR_LABEL, IDC_PART_LIMIT_LABEL,
                        IDC_PART_LIMIT_UNIT, IDC_SMTP_SECURITY, IDC_LABEL_SMTP_PORT, IDC_LABEL_SECURITY,
                        IDC_LABEL_SMTP_USER, IDC_LABEL_SMTP_PASSWORD, IDC_PASSWORD_STATE});
}

void ShowSettings(HWND dialog, const PortSettings* settings)
{
    SetDlgItemTextW(dialog, IDC_SERV_ADDR, settings->ServAddr);
    SetDlgItemTextW(dialog, IDC_USER_ADDR, settings->UserAddr);
    SetDlgItemTextW(dialog, IDC_SMTP_ADDR, settings->SMTPAddr);
    SetDlgItemTextW(dialog, IDC_NOTIFY_ADDR, settings->NotifyAddr);
    FillChoices(dialog, IDC_NOTIFICATION, IDS_NOTIFY_NONE, IDS_NOTIFY_ALWAYS, settings->Notification);
    EnableNotifyAddress(dialog, SelectedNotificationMode(dialog) != 0);
    CheckDlgButton(dialog, IDC_SHOW_SW, settings->ShowSw == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CHECK_MAIL_SW, settings->CheckMailSw == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_PART_LIMIT, settings->PartLimit, FALSE);
    CheckDlgButton(dialog, IDC_PART_SW, settings->PartSw != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnablePartLimit(dialog, settings->PartSw != 0);
    ShowSecureSettings(dialog, settings);
}

void InitializePortConfigDialog(HWND dialog, PortConfigDialog* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->sendAddressMessage = RegisterWindowMessageW(L"WM_SENDADDR");
    CenterWindowOnScreen(dialog);
    ForceForegroundWindow(dialog);

    SendDlgItemMessageW(dialog, IDC_SERV_ADDR, EM_LIMITTEXT, kServAddrEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_USER_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_SMTP_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_NOTIFY_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_PART_LIMIT, EM_LIMITTEXT, kPartLimitEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_SMTP_PORT, EM_LIMITTEXT, kSmtpPortEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_SMTP_USER, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_SMTP_PASSWORD, EM_LIMITTEXT, kMaxPasswordChars, 0);
    ShowSettings(dialog, &state->edited);
    if (state->server == ServerFields::Fixed)
        EnableControls(dialog, false, {IDC_SMTP_ADDR, IDC_SMTP_SECURITY, IDC_SMTP_PORT, IDC_SMTP_USER, IDC_SMTP_PASSWORD});
    SetDlgItemTextW(dialog, IDC_VERSION_TEXT, kVersionText);
    SetDlgItemTextW(dialog, IDC_DATE_TEXT, kReleaseDateText);
    SetDlgItemTextW(dialog, IDC_COPYRIGHT_TEXT, kCopyrightText);

    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    state->font.Reset(CreateDialogFontFor(GetDlgItem(dialog, IDC_UNNUMBERED_TEXT)));
    ApplyPortConfigFont(dialog, state->font.Get());
}

void AcceptPortConfig(HWND dialog, PortConfigDialog* state)
{
    PortSettings* settings = &state->edited;
    GetDlgItemTextW(dialog, IDC_SERV_ADDR, settings->ServAddr, kServAddrEditChars + 1);
    NormaliseAddressList(settings->ServAddr, ARRAYSIZE(settings->ServAddr));
    GetDlgItemTextW(dialog, IDC_USER_ADDR, settings->UserAddr, kAddressEditChars + 1);
    GetDlgItemTextW(dialog, IDC_SMTP_ADDR, settings->SMTPAddr, kAddressEditChars + 1);
    GetDlgItemTextW(dialog, IDC_NOTIFY_ADDR, settings->NotifyAddr, kAddressEditChars + 1);
    settings->Notification = SelectedNotificationMode(dialog);
    settings->ShowSw = IsChecked(dialog, IDC_SHOW_SW) ? 1 : 0;
    settings->CheckMailSw = IsChecked(dialog, IDC_CHECK_MAIL_SW) ? 1 : 0;
    settings->PartSw = IsChecked(dialog, IDC_PART_SW) ? 1 : 0;
    BOOL numberRead = FALSE;
    settings->PartLimit = GetDlgItemInt(dialog, IDC_PART_LIMIT, &numberRead, FALSE);

    if (!IsAcceptedPartLimit(settings->PartSw != 0, numberRead != FALSE, settings->PartLimit)) {
        ShowMonitorMessage(IDS_PART_SIZE_RANGE, kStyleError);
        settings->PartLimit = kDefaultPartLimitKb;
        SetDlgItemInt(dialog, IDC_PART_LIMIT, kDefaultPartLimitKb, FALSE);
        return;
    }
    if (!AcceptSecureSettings(dialog, settings))
        return;
    // During a job the accepted values serve that job only. Settings that could not be stored
    // would be gone at the next start: the dialog keeps what was typed.
    if (!state->forJob && !state->store.Store(*settings))
        return;
    *state->result = *settings;
    EndDialog(dialog, 1);
}

void OnPartSwitchClicked(HWND dialog)
{
    const bool partsOn = IsChecked(dialog, IDC_PART_SW);
    EnablePartLimit(dialog, partsOn);
    // A job sent whole is large again: the question before mailing comes back on.
    if (!partsOn)
        CheckDlgButton(dialog, IDC_CHECK_MAIL_SW, BST_CHECKED);
}

void OnPortConfigCommand(HWND dialog, PortConfigDialog* state, int id, int notification)
{
    switch (id) {
    case IDOK:
        AcceptPortConfig(dialog, state);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return;
    case IDC_HELP_BUTTON:
        ShowPortConfigHelp(dialog);
        break;
    case IDC_ADDRESS_BOOK:
        OpenAddressBook(dialog, state->forJob);
        break;
    case IDC_RELOAD:
        state->store.Load(&state->edited);
        ShowSettings(dialog, &state->edited);
        break;
    case IDC_PART_SW:
        OnPartSwitchClicked(dialog);
        break;
    default:
        break;
    }
    if (notification == CBN_SELCHANGE)
        EnableNotifyAddress(dialog, SelectedNotificationMode(dialog) != 0);
}

INT_PTR CALLBACK PortConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitializePortConfigDialog(dialog, reinterpret_cast<PortConfigDialog*>(lParam));
        return TRUE;
    }
    PortConfigDialog* state = StateOf(dialog);
    if (state == nullptr)
        return FALSE; // before the dialog is initialised
    switch (message) {
    case WM_COMMAND:
        OnPortConfigCommand(dialog, state, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_PAINT:
        ApplyPortConfigFont(dialog, state->font.Get());
        return FALSE;
    default:
        if (message == state->sendAddressMessage) {
            ReceiveSentAddresses(dialog, static_cast<ATOM>(LOWORD(wParam)), static_cast<DWORD>(lParam));
            return TRUE;
        }
        return FALSE;
    }
}
} // namespace

INT_PTR RunPortConfigDialog(HWND owner, PortSettings* settings, bool forJob, PortSettingsStore& store,
                            ServerFields server)
{
    // The settings are large: the dialog's state lives on the heap, not on the spooler's stack.
    std::unique_ptr<PortConfigDialog> state(
        new (std::nothrow) PortConfigDialog(*settings, settings, forJob, store, server));
    if (!state)
        return -1;
    // The font outlives the dialog's controls: it is deleted with the state, after the dialog.
    return DialogBoxParamW(g_resourceLibrary, MAKEINTRESOURCEW(IDD_PORT_CONFIG), owner, PortConfigDialogProc,
                           reinterpret_cast<LPARAM>(state.get()));
}
