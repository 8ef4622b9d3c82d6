// The group editor, dialog 103: a group's name, note and members, new or edited.
#include "addressbook/core/address_store.h"
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/editors.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/icon_set.h"
#include "addressbook/ui/light_grey.h"

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

// The font and the person icon of the group editor's lists (the member chooser's too) are made
// when the member list is first measured, before the dialog's own initialisation.
void MakeListResources()
{
    if (g_groupEditorFont.Font() == nullptr && g_groupEditorIcons.Empty()) {
        g_groupEditorFont.Make();
        g_groupEditorIcons.Load(false);
    }
}

void OnInit(HWND dialog)
{
    ApplyFontToControls(g_groupEditorFont, dialog, kFontControls);
    LimitFields(dialog, {{IDC_GROUP_NAME, kEditorTextLimit}, {IDC_GROUP_NOTE, kEditorTextLimit}});
    if (const GroupEntry* group = LiveEntryAt(g_program.book.groups, g_editTarget.group)) {
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

void OnDestroy(HWND dialog)
{
    DetachFontFromControls(g_groupEditorFont, dialog, kFontControls);
    g_groupEditorFont.Delete();
    g_groupEditorIcons.Release();
}

void ChooseMembersFor(HWND dialog)
{
    MemberScratch scratch = PersonalIndexesIn(MemberList(dialog));
    if (ChooseMembers(dialog, scratch))
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
bool Accept(HWND dialog)
{
    GroupList& list = g_program.book.groups;
    int index = g_editTarget.group;
    if (!NameAccepted(dialog, IDC_GROUP_NAME, list, index, RefusedGroupName))
        return false;
    const auto store = [dialog](GroupEntry& group) { StoreTexts(dialog, group); };
    if (StoreEntry(dialog, list, AppendGroup, kKindGroup, index, store))
        SaveGroupFile(dialog);
    return true;
}

void OnCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDOK:
        if (Accept(dialog))
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
        ChooseMembersFor(dialog);
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
    INT_PTR colour = 0;
    if (AnswerLightGrey(message, wParam, colour))
        return colour;
    if (message == WM_MEASUREITEM)
        MakeListResources();
    if (AnswerMemberLists(message, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
