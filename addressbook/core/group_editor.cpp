// The group editor, dialog 103: a group's name, note and members, new or edited.
#include "addressbook/core/address_store.h"
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/editors.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/light_grey.h"
#include "addressbook/ui/list_drawing.h"

namespace {
constexpr int kFontControls[] = {IDC_GROUP_NAME,     IDC_GROUP_NOTE, IDC_GROUP_MEMBERS, IDC_GROUP_CHOOSE,
                                 IDC_GROUP_EDIT_MEMBER, IDC_GROUP_REMOVE_MEMBER, IDOK,   IDCANCEL,
                                 IDC_LABEL1,         IDC_LABEL2,     IDC_LABEL4};

HWND MemberList(HWND dialog)
{
    return GetDlgItem(dialog, IDC_GROUP_MEMBERS);
}

const GroupEntry* LiveGroup(int index)
{
    const GroupList& list = g_program.book.groups;
    if (index < 0 || !list.exists || static_cast<uint32_t>(index) >= list.Count())
        return nullptr;
    const GroupEntry& group = list.entries[index];
    return group.state == kEntryLive ? &group : nullptr;
}

bool IsLivePersonal(uint32_t index)
{
    const PersonalList& list = g_program.book.personal;
    return list.exists && index < list.Count() && list.entries[index].state == kEntryLive;
}

void EnableButtons(HWND dialog)
{
    const auto selected = SendMessage(MemberList(dialog), LB_GETSELCOUNT, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_REMOVE_MEMBER), selected >= 1);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_EDIT_MEMBER), selected == 1);
}

void FillMembers(HWND dialog, const MemberScratch& members)
{
    HWND list = MemberList(dialog);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (uint32_t index : members)
        AddListItem(list, MakeEntryRef(index, kKindPersonal));
}

MemberScratch MembersInList(HWND dialog)
{
    MemberScratch members;
    for (EntryRef ref : ListItems(MemberList(dialog)))
        members.push_back(RefIndex(ref));
    return members;
}

// The font and the person icon of the group editor's lists (the member chooser's too) are made
// when the member list is first measured, before the dialog's own initialisation.
void OnMeasure(MEASUREITEMSTRUCT& item)
{
    if (g_groupEditorFont.Font() == nullptr && g_groupEditorIcons.Empty()) {
        g_groupEditorFont.Make();
        g_groupEditorIcons.Load(false);
    }
    MeasureCompactItem(item, g_groupEditorFont, g_groupEditorIcons);
}

void OnInit(HWND dialog)
{
    ApplyFontToControls(g_groupEditorFont, dialog, kFontControls);
    LimitFields(dialog, {{IDC_GROUP_NAME, kEditorTextLimit}, {IDC_GROUP_NOTE, kEditorTextLimit}});
    if (const GroupEntry* group = LiveGroup(g_editTarget.group)) {
        SetDlgItemText(dialog, IDC_GROUP_NAME, group->name);
        SetDlgItemText(dialog, IDC_GROUP_NOTE, group->note);
        MemberScratch live;
        for (uint32_t index : group->members) {
            if (IsLivePersonal(index))
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
    MemberScratch scratch = MembersInList(dialog);
    if (ChooseMembers(dialog, scratch))
        FillMembers(dialog, scratch);
    EnableButtons(dialog);
}

void EditMember(HWND dialog)
{
    EditSelected(dialog, IDC_GROUP_MEMBERS);
    InvalidateRect(MemberList(dialog), nullptr, TRUE); // the member's name may have changed
}

// OK: false keeps the dialog open (a refused name).
bool Accept(HWND dialog)
{
    AddressBook& book = g_program.book;
    int index = g_editTarget.group;
    char name[kTextFieldSize];
    ReadField(dialog, IDC_GROUP_NAME, kEditorTextLimit, name);
    if (const unsigned refusal = RefusedGroupName(book.groups, name, index)) {
        ShowEditorMessage(dialog, refusal);
        return false;
    }
    const bool isNew = index < 0;
    if (isNew) {
        index = AppendGroup(book.groups);
        if (index < 0) { // an EntryRef could not name it
            ShowEditorMessage(dialog, IDS_LIST_FULL);
            return true;
        }
    }
    GroupEntry& group = book.groups.entries[index];
    ReadField(dialog, IDC_GROUP_NAME, kEditorTextLimit, group.name);
    ReadField(dialog, IDC_GROUP_NOTE, kEditorTextLimit, group.note);
    group.members = MembersInList(dialog);
    if (isNew)
        InsertAtTopOfMainList(MakeEntryRef(index, kKindGroup));
    RebuildSortIndexes(book);
    if (!isNew)
        RepaintEntryLists();
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
    switch (message) {
    case WM_MEASUREITEM:
        OnMeasure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawCompactItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), CompactText::NameOnly, g_groupEditorFont,
                        g_groupEditorIcons);
        return TRUE;
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
