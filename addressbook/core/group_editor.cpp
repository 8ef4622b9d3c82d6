// The group editor, dialog 103: a group's name, note and members, new or edited.
#include "addressbook/core/address_store.h"
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/editors.h"
#include "addressbook/core/resource_ids.h"

namespace {
constexpr int kFontControls[] = {IDC_GROUP_NAME,        IDC_GROUP_NOTE,          IDC_GROUP_MEMBERS, IDC_GROUP_CHOOSE,
                                 IDC_GROUP_EDIT_MEMBER, IDC_GROUP_REMOVE_MEMBER, IDOK,              IDCANCEL,
                                 IDC_LABEL1,            IDC_LABEL2,              IDC_LABEL4};

HWND MemberList(HWND dialog)
{
    return GetDlgItem(dialog, IDC_GROUP_MEMBERS);
}

void EnableButtons(HWND dialog)
{
    const auto selected = SendMessage(MemberList(dialog), LB_GETSELCOUNT, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_REMOVE_MEMBER), selected >= 1);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_EDIT_MEMBER), selected == 1);
}

void FillMembers(HWND dialog, const MemberScratch& members)
{
    SendMessage(MemberList(dialog), LB_RESETCONTENT, 0, 0);
    AddPersonalItems(MemberList(dialog), members);
}

void OnInit(HWND dialog, const GroupEditorState& state)
{
    ApplyFontToControls(state.font, dialog, kFontControls);
    SizeMemberList(dialog, IDC_GROUP_MEMBERS, state);
    LimitFields(dialog, {{IDC_GROUP_NAME, kEditorTextLimit}, {IDC_GROUP_NOTE, kEditorTextLimit}});
    if (const GroupEntry* group = LiveEntryAt(g_program.book.groups, state.index)) {
        SetDlgItemText(dialog, IDC_GROUP_NAME, group->name);
        SetDlgItemText(dialog, IDC_GROUP_NOTE, group->note);
        MemberScratch live;
        for (uint32_t index : group->members) {
            if (LiveEntryAt(g_program.book.personal, index) != nullptr)
                live.push_back(index);
        }
        FillMembers(dialog, live);
    }
    EnableButtons(dialog);
}

void OnDestroy(HWND dialog, GroupEditorState& state)
{
    DetachFontFromControls(state.font, dialog, kFontControls);
    state.font.Delete();
    state.icons.Release();
}

void ChooseMembersFor(HWND dialog, const GroupEditorState& state)
{
    MemberScratch scratch = PersonalIndexesIn(MemberList(dialog));
    if (ChooseMembers(dialog, state, scratch))
        FillMembers(dialog, scratch);
    EnableButtons(dialog);
}

void EditMember(HWND dialog)
{
    EditSelected(dialog, IDC_GROUP_MEMBERS);
    InvalidateRect(MemberList(dialog), nullptr, TRUE); // the member's name may have changed
}

void StoreTexts(HWND dialog, GroupEntry& group)
{
    ReadField(dialog, IDC_GROUP_NAME, kEditorTextLimit, group.name);
    ReadField(dialog, IDC_GROUP_NOTE, kEditorTextLimit, group.note);
    group.members = PersonalIndexesIn(MemberList(dialog));
}

// OK: false keeps the dialog open (a refused name).
bool Accept(HWND dialog, const GroupEditorState& state)
{
    GroupList& list = g_program.book.groups;
    int index = state.index;
    if (!NameAccepted(dialog, IDC_GROUP_NAME, list, index, RefusedGroupName))
        return false;
    const auto store = [dialog](GroupEntry& group) { StoreTexts(dialog, group); };
    if (StoreEntry(dialog, list, AppendGroup, kKindGroup, index, store))
        SaveGroupFile(dialog);
    return true;
}

void OnCommand(HWND dialog, const GroupEditorState& state, int id, int notification)
{
    switch (id) {
    case IDOK:
        if (Accept(dialog, state))
            EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_GROUP_MEMBERS:
        EnableButtons(dialog);
        if (notification == LBN_DBLCLK)
            EditMember(dialog);
        break;
    case IDC_GROUP_CHOOSE:
        ChooseMembersFor(dialog, state);
        break;
    case IDC_GROUP_EDIT_MEMBER:
        EditMember(dialog);
        break;
    case IDC_GROUP_REMOVE_MEMBER:
        DeleteSelectedItems(MemberList(dialog));
        EnableButtons(dialog);
        break;
    default:
        break;
    }
}
} // namespace

INT_PTR CALLBACK GroupEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = 0;
    if (AnswerColoursAndCreation<GroupEditorState>(dialog, message, wParam, lParam, OnInit, result))
        return result;
    GroupEditorState* state = StateOf<GroupEditorState>(dialog);
    if (AnswerMemberLists(state, message, lParam))
        return TRUE;
    if (state == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog, *state);
        return TRUE;
    default:
        return FALSE;
    }
}
