// The member chooser, dialog 106: picks personal entries for the group editor's member list.
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/light_grey.h"

namespace {
constexpr int kFontControls[] = {IDC_CHOOSER_ENTRIES, IDC_CHOOSER_CHOSEN, IDC_CHOOSER_ADD, IDC_CHOOSER_REMOVE,
                                 IDOK,                IDCANCEL,           IDC_LABEL1,      IDC_LABEL2};

HWND Entries(HWND dialog)
{
    return GetDlgItem(dialog, IDC_CHOOSER_ENTRIES);
}

HWND Chosen(HWND dialog)
{
    return GetDlgItem(dialog, IDC_CHOOSER_CHOSEN);
}

MemberScratch& ScratchOf(HWND dialog)
{
    return *reinterpret_cast<MemberScratch*>(GetWindowLongPtr(dialog, DWLP_USER));
}

MemberScratch SelectedIndexes(HWND list)
{
    MemberScratch indexes;
    for (int position : SelectedPositions(list))
        indexes.push_back(RefIndex(static_cast<EntryRef>(SendMessage(list, LB_GETITEMDATA, position, 0))));
    return indexes;
}

void EnableButtons(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_CHOOSER_ADD), HasSelection(Entries(dialog)));
    EnableWindow(GetDlgItem(dialog, IDC_CHOOSER_REMOVE), HasSelection(Chosen(dialog)));
}

void OnInit(HWND dialog, MemberScratch* scratch)
{
    SetWindowLongPtr(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(scratch));
    ApplyFontToControls(g_groupEditorFont, dialog, kFontControls);
    const PersonalList& personal = g_program.book.personal;
    HWND entries = Entries(dialog);
    for (uint32_t i = 0; i < personal.Count(); ++i) {
        if (LiveEntryAt(personal, i) != nullptr)
            AddListItem(entries, MakeEntryRef(i, kKindPersonal));
    }
    AddPersonalItems(Chosen(dialog), *scratch);
    EnableButtons(dialog);
}

void AddPicked(HWND dialog)
{
    MemberScratch chosen = PersonalIndexesIn(Chosen(dialog));
    AddPersonalItems(Chosen(dialog), AddNewMembers(chosen, SelectedIndexes(Entries(dialog))));
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        ScratchOf(dialog) = PersonalIndexesIn(Chosen(dialog));
        EndDialog(dialog, IDOK);
        return;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return;
    case IDC_CHOOSER_ADD:
        AddPicked(dialog);
        break;
    case IDC_CHOOSER_REMOVE:
        DeleteSelectedItems(Chosen(dialog));
        break;
    case IDC_CHOOSER_ENTRIES:
    case IDC_CHOOSER_CHOSEN:
        break;
    default:
        return;
    }
    EnableButtons(dialog);
}

INT_PTR CALLBACK MemberChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR colour = 0;
    if (AnswerLightGrey(message, wParam, colour))
        return colour;
    if (AnswerMemberLists(message, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, reinterpret_cast<MemberScratch*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

bool ChooseMembers(HWND owner, MemberScratch& scratch)
{
    return DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_MEMBER_CHOOSER), owner, MemberChooserProc,
                          reinterpret_cast<LPARAM>(&scratch)) == IDOK;
}
