#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/part_plan.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/text_conversion.h"
#include "monitor/ui/address_book_bridge.h"
#include "monitor/ui/address_list.h"
#include "monitor/ui/dialog_common.h"
#include "monitor/ui/dialog_ids.h"
#include "monitor/ui/dialogs.h"
#include "monitor/ui/part_limit_rule.h"

#include <memory>

namespace {
// Edit limits, in characters. Every field of the settings record holds what its edit allows.
constexpr int kAddressEditChars = 128;
constexpr int kPartLimitEditChars = 5;
constexpr int kNotificationNameChars = 200;

constexpr WCHAR kVersionText[] = L"1.64";
constexpr WCHAR kReleaseDateText[] = L"2005-02-21";
constexpr WCHAR kCopyrightText[] = L"Copyright (C) 2005 Norvale\rAll rights reserved.";
constexpr WCHAR kHelpFileSuffix[] = L"\\nmx.hlp>nmxhlp";
constexpr DWORD kHelpContext = 1;

// One configuration dialog at a time: these slots are shared by the whole process.
HFONT g_portConfigFont = nullptr;
UINT g_sendAddressMessage = 0; // "WM_SENDADDR", posted by the address book

// Holds the entry for as long as its dialog is open, so that a port deleted meanwhile is not
// freed under the dialog (AddPort shows it without the monitor lock).
class PinnedEntry {
public:
    explicit PinnedEntry(PortEntry* entry) : entry_(entry)
    {
        MonitorLockGuard lock;
        AcquirePortEntry(entry_);
    }
    ~PinnedEntry()
    {
        MonitorLockGuard lock;
        ReleasePortEntry(entry_);
    }
    PinnedEntry(const PinnedEntry&) = delete;
    PinnedEntry& operator=(const PinnedEntry&) = delete;

private:
    PortEntry* entry_;
};

PortEntry* EntryOf(HWND dialog)
{
    return reinterpret_cast<PortEntry*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// A job-start dialog for a port that does not ask for it ends at once, confirmed.
bool SkipsJobStartDialog(const PortEntry* entry)
{
    return HasFlag(entry, kFlagJobInProgress) && entry->settings.ShowSw != 1;
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

void FillNotificationModes(HWND dialog, DWORD selected)
{
    HWND list = GetDlgItem(dialog, IDC_NOTIFICATION);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (UINT id = IDS_NOTIFY_NONE; id <= IDS_NOTIFY_ALWAYS; ++id) {
        WCHAR name[kNotificationNameChars];
        LoadStringW(g_resourceLibrary, id, name, kNotificationNameChars);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

DWORD SelectedNotificationMode(HWND dialog)
{
    const LRESULT index = SendDlgItemMessageW(dialog, IDC_NOTIFICATION, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<DWORD>(index);
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
                        IDC_PART_LIMIT_UNIT});
}

void LoadPortConfigControls(HWND dialog, PortSettings* settings)
{
    LoadPortSettings(settings);
    SetDlgItemTextW(dialog, IDC_SERV_ADDR, settings->ServAddr);
    SetDlgItemTextW(dialog, IDC_USER_ADDR, settings->UserAddr);
    SetDlgItemTextW(dialog, IDC_SMTP_ADDR, settings->SMTPAddr);
    SetDlgItemTextW(dialog, IDC_NOTIFY_ADDR, settings->NotifyAddr);
    FillNotificationModes(dialog, settings->Notification);
    EnableNotifyAddress(dialog, SelectedNotificationMode(dialog) != 0);
    CheckDlgButton(dialog, IDC_SHOW_SW, settings->ShowSw == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CHECK_MAIL_SW, settings->CheckMailSw == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_PART_LIMIT, settings->PartLimit, FALSE);
    CheckDlgButton(dialog, IDC_PART_SW, settings->PartSw != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnablePartLimit(dialog, settings->PartSw != 0);
}

void InitializePortConfigDialog(HWND dialog, PortEntry* entry)
{
    lstrcpynW(entry->settings.PortName, entry->name, ARRAYSIZE(entry->settings.PortName));
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(entry));
    g_sendAddressMessage = RegisterWindowMessageW(L"WM_SENDADDR");
    CenterWindowOnScreen(dialog);
    ForceForegroundWindow(dialog);

    SendDlgItemMessageW(dialog, IDC_SERV_ADDR, EM_LIMITTEXT, kServAddrEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_USER_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_SMTP_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_NOTIFY_ADDR, EM_LIMITTEXT, kAddressEditChars, 0);
    SendDlgItemMessageW(dialog, IDC_PART_LIMIT, EM_LIMITTEXT, kPartLimitEditChars, 0);
    LoadPortConfigControls(dialog, &entry->settings);
    SetDlgItemTextW(dialog, IDC_VERSION_TEXT, kVersionText);
    SetDlgItemTextW(dialog, IDC_DATE_TEXT, kReleaseDateText);
    SetDlgItemTextW(dialog, IDC_COPYRIGHT_TEXT, kCopyrightText);

    // The caller saw the port's settings before the dialog loaded them by name.
    if (SkipsJobStartDialog(entry)) {
        EndDialog(dialog, 1);
        return;
    }
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    g_portConfigFont = CreateDialogFontFor(GetDlgItem(dialog, IDC_UNNUMBERED_TEXT));
    ApplyPortConfigFont(dialog, g_portConfigFont);
}

void AcceptPortConfig(HWND dialog)
{
    PortEntry* entry = EntryOf(dialog);
    PortSettings* settings = &entry->settings;
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
    // During a job the accepted values serve that job only. Settings that could not be stored
    // would be gone at the next start: the user is told, and the dialog keeps what was typed.
    if (!HasFlag(entry, kFlagJobInProgress) && SavePortSettings(settings) != ERROR_SUCCESS) {
        ShowMonitorMessage(IDS_SETTINGS_NOT_SAVED, kStyleError);
        return;
    }
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

void OnPortConfigCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDOK:
        AcceptPortConfig(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return;
    case IDC_HELP_BUTTON:
        ShowPortConfigHelp(dialog);
        break;
    case IDC_ADDRESS_BOOK:
        OpenAddressBook(dialog, HasFlag(EntryOf(dialog), kFlagJobInProgress));
        break;
    case IDC_RELOAD:
        LoadPortConfigControls(dialog, &EntryOf(dialog)->settings);
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
    switch (message) {
    case WM_INITDIALOG:
        InitializePortConfigDialog(dialog, reinterpret_cast<PortEntry*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnPortConfigCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_PAINT:
        ApplyPortConfigFont(dialog, g_portConfigFont);
        return FALSE;
    case WM_DESTROY:
        DeleteDialogFont(&g_portConfigFont);
        return FALSE;
    default:
        if (message != 0 && message == g_sendAddressMessage) {
            ReceiveSentAddresses(dialog, static_cast<ATOM>(LOWORD(wParam)), static_cast<DWORD>(lParam));
            return TRUE;
        }
        return FALSE;
    }
}
} // namespace

INT_PTR ShowPortConfigDialog(HWND owner, PortEntry* entry)
{
    if (SkipsJobStartDialog(entry))
        return 1;
    PinnedEntry pinned(entry);
    return DialogBoxParamW(g_resourceLibrary, MAKEINTRESOURCEW(IDD_PORT_CONFIG), owner,
                           PortConfigDialogProc, reinterpret_cast<LPARAM>(entry));
}
