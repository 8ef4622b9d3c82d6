#include "addressbook/core/editors.h"

#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/modal_scope.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/list_drawing.h"

void OpenPersonalEditor(HWND owner, int index)
{
    PersonalEditorState state{index, {}};
    const ModalScope modal;
    DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_PERSONAL_EDITOR), owner, PersonalEditorProc,
                   reinterpret_cast<LPARAM>(&state));
}

// The font and the person icon of the group editor's lists, the member chooser's too, live as
// long as the group editor.
void OpenGroupEditor(HWND owner, int index)
{
    GroupEditorState state{index, {}, {}};
    state.font.Make();
    state.icons.Load(false);
    const ModalScope modal;
    DialogBoxParam(g_program.resources, MAKEINTRESOURCE(IDD_GROUP_EDITOR), owner, GroupEditorProc,
                   reinterpret_cast<LPARAM>(&state));
}

void KeepState(HWND dialog, LPARAM state)
{
    SetWindowLongPtr(dialog, DWLP_USER, state);
}

void EditSelected(HWND owner, int listId)
{
    HWND list = GetDlgItem(owner, listId);
    int first = 0;
    if (SendMessage(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) != 1)
        return;
    const auto ref = static_cast<EntryRef>(SendMessage(list, LB_GETITEMDATA, first, 0));
    if (RefKind(ref) == kKindGroup)
        OpenGroupEditor(owner, static_cast<int>(RefIndex(ref)));
    else
        OpenPersonalEditor(owner, static_cast<int>(RefIndex(ref)));
}

void LimitFields(HWND dialog, std::initializer_list<FieldLimit> fields)
{
    for (const FieldLimit& field : fields)
        SendDlgItemMessage(dialog, field.id, EM_LIMITTEXT, field.limit, 0);
}

void ReadField(HWND dialog, int id, int limit, char (&field)[kTextFieldSize])
{
    // Read more than fits, so that the cut falls between whole characters of a double-byte text.
    char text[4 * kTextFieldSize] = {};
    GetDlgItemText(dialog, id, text, sizeof(text));
    text[WholeCharBytes(text, static_cast<size_t>(limit), g_program.leadBytes)] = '\0';
    CopyToField(field, text, g_program.leadBytes);
}

void AddPersonalItems(HWND list, const MemberScratch& indexes)
{
    for (uint32_t index : indexes)
        AddListItem(list, MakeEntryRef(index, kKindPersonal));
}

MemberScratch PersonalIndexesIn(HWND list)
{
    MemberScratch indexes;
    for (EntryRef ref : ListItems(list))
        indexes.push_back(RefIndex(ref));
    return indexes;
}

void ShowEditorMessage(HWND dialog, unsigned textId)
{
    ShowProgramMessage(dialog, textId, MB_OK | MB_ICONSTOP);
}

bool AnswerMemberLists(const GroupEditorState* lists, UINT message, LPARAM lParam)
{
    if (lists == nullptr)
        return false;
    if (message == WM_MEASUREITEM)
        MeasureCompactItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), lists->font, lists->icons);
    else if (message == WM_DRAWITEM)
        DrawCompactItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), CompactText::NameOnly, lists->font,
                        lists->icons);
    else
        return false;
    return true;
}

void SizeMemberList(HWND dialog, int listId, const GroupEditorState& lists)
{
    SetCompactItemHeight(GetDlgItem(dialog, listId), lists.font, lists.icons);
}
