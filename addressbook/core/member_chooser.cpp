// The member chooser, dialog 106: picks personal entries for the group editor's member list.
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/light_grey.h"
#include "addressbook/ui/list_drawing.h"

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

MemberScratch IndexesIn(HWND list)
{
    MemberScratch indexes;
    for (EntryRef ref : ListItems(list))
        indexes.push_back(RefIndex(ref));
    return indexes;
}

MemberScratch SelectedIndexes(HWND list)
{
    const auto count = static_cast<int>(SendMessage(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> positions(count > 0 ? count : 0);
    if (count > 0)
        SendMessage(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(positions.data()));
    MemberScratch indexes;
    for (int position : positions)
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
    for (uint32_t i = 0; personal.exists && i < personal.Count(); ++i) {
        if (personal.entries[i].state == kEntryLive)
            AddListItem(entries, MakeEntryRef(i, kKindPersonal));
    }
    for (uint32_t index : *scratch)
        AddListItem(Chosen(dialog), MakeEntryRef(index, kKindPersonal));
    EnableButtons(dialog);
}

void AddPicked(HWND dialog)
{
    MemberScratch chosen = IndexesIn(Chosen(dialog));
    for (uint32_t index : AddNewMembers(chosen, SelectedIndexes(Entries(dialog))))
        AddListItem(Chosen(dialog), MakeEntryRef(index, kKindPersonal));
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        ScratchOf(dialog) = IndexesIn(Chosen(dialog));
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
    switch (message) {
    case WM_MEASUREITEM:
        MeasureCompactItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), g_groupEditorFont, g_groupEditorIcons);
        return TRUE;
    case WM_DRAWITEM:
        DrawCompactItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), CompactText::NameOnly, g_groupEditorFont,
                        g_groupEditorIcons);
        return TRUE;
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
