// The member chooser, dialog 106: picks personal entries for the group editor's member list.
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/resource_ids.h"

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

// The chooser's part of the group editor's state and the members it works on.
struct ChooserState {
    const GroupEditorState& lists;
    MemberScratch& scratch;
};

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

void OnInit(HWND dialog, const ChooserState& state)
{
    ApplyFontToControls(state.lists.font, dialog, kFontControls);
    SizeMemberList(dialog, IDC_CHOOSER_ENTRIES, state.lists);
    SizeMemberList(dialog, IDC_CHOOSER_CHOSEN, state.lists);
    const PersonalList& personal = g_program.book.personal;
    HWND entries = Entries(dialog);
    for (uint32_t i = 0; i < personal.Count(); ++i) {
        if (LiveEntryAt(personal, i) != nullptr)
            AddListItem(entries, MakeEntryRef(i, kKindPersonal));
    }
    AddPersonalItems(Chosen(dialog), state.scratch);
    EnableButtons(dialog);
}

void AddPicked(HWND dialog)
{
    MemberScratch chosen = PersonalIndexesIn(Chosen(dialog));
    AddPersonalItems(Chosen(dialog), AddNewMembers(chosen, SelectedIndexes(Entries(dialog))));
}

void OnCommand(HWND dialog, const ChooserState& state, int id)
{
    switch (id) {
    case IDOK:
        state.scratch = PersonalIndexesIn(Chosen(dialog));
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
    INT_PTR result = 0;
    if (AnswerColoursAndCreation<ChooserState>(dialog, message, wParam, lParam, OnInit, result))
        return result;
    const ChooserState* state = StateOf<ChooserState>(dialog);
    if (state == nullptr)
        return FALSE;
    if (AnswerMemberLists(&state->lists, message, lParam))
        return TRUE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, *state, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

bool ChooseMembers(HWND owner, const GroupEditorState& lists, MemberScratch& scratch)
{
    ChooserState state{lists, scratch};
    return DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_MEMBER_CHOOSER), owner, MemberChooserProc,
                          reinterpret_cast<LPARAM>(&state)) == IDOK;
}
