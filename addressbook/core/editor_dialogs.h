#pragma once
// What the personal editor, the group editor and the member chooser share; used by the editors
// only (editors.h is what the rest of the program calls).
#include <windows.h>

#include "addressbook/core/address_data.h"
#include "addressbook/ui/fonts.h"

#include <initializer_list>
#include <vector>

// The entry each editor works on: its index, or -1 for a new one.
struct EditTarget {
    int personal = -1;
    int group = -1;
};
extern EditTarget g_editTarget;

// Personal indexes carried from the group editor's member list into the member chooser and back;
// it exists only while the chooser is open.
using MemberScratch = std::vector<uint32_t>;

INT_PTR CALLBACK PersonalEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the member chooser over `scratch`; true when it was closed with OK, and `scratch` then
// holds the chosen members in list order.
bool ChooseMembers(HWND owner, MemberScratch& scratch);

// Edit fields and their limits in characters.
struct FieldLimit {
    int id;
    int limit;
};
void LimitFields(HWND dialog, std::initializer_list<FieldLimit> fields);
// The control's text, whole characters up to `limit` bytes.
void ReadField(HWND dialog, int id, int limit, char (&field)[kTextFieldSize]);

// The editor's font onto its controls, and off them again before the font is deleted.
template <size_t N>
void ApplyFontToControls(const FontSlot& font, HWND dialog, const int (&controlIds)[N])
{
    for (int id : controlIds)
        font.Apply(GetDlgItem(dialog, id));
}
template <size_t N>
void DetachFontFromControls(const FontSlot& font, HWND dialog, const int (&controlIds)[N])
{
    for (int id : controlIds)
        font.Detach(GetDlgItem(dialog, id));
}

// The list boxes of the editors hold EntryRef items and no strings.
std::vector<EntryRef> ListItems(HWND list);
void AddListItem(HWND list, EntryRef ref);
bool HasSelection(HWND list);
void DeleteSelectedItems(HWND list); // from the last selected to the first

// A refused name or a full list: the message with the stop icon, over the dialog.
void ShowEditorMessage(HWND dialog, unsigned textId);
