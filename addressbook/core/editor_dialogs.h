#pragma once
// What the personal editor, the group editor and the member chooser share, and the find dialog
// with them (its text field, the main list's items); editors.h is what the rest of the program
// calls.
#include <windows.h>

#include "addressbook/core/address_data.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/entry_list_box.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/icon_set.h"
#include "addressbook/ui/light_grey.h"

#include <initializer_list>
#include <vector>

// What an editor keeps while it is open: given to its dialog at creation (WM_INITDIALOG's lParam)
// and kept with the dialog (DWLP_USER), so that an editor opened from another has its own.
struct PersonalEditorState {
    int index; // the entry edited, or -1 for a new one
    FontSlot font;
};
// The member chooser draws its lists with the group editor's font and icons.
struct GroupEditorState {
    int index;
    FontSlot font;
    IconSet icons;
};

// Keeps the state given at creation with the dialog; StateOf gives it back, null before.
void KeepState(HWND dialog, LPARAM state);
template <class State>
State* StateOf(HWND dialog)
{
    return reinterpret_cast<State*>(GetWindowLongPtr(dialog, DWLP_USER));
}

// What every editor's dialog procedure answers first: the light-grey colour requests, and its
// creation, where the state is kept and `init` runs with it. True when `result` is the answer.
template <class State, class Init>
bool AnswerColoursAndCreation(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, Init init, INT_PTR& result)
{
    if (AnswerLightGrey(message, wParam, result))
        return true;
    if (message != WM_INITDIALOG)
        return false;
    KeepState(dialog, lParam);
    init(dialog, *reinterpret_cast<State*>(lParam));
    result = TRUE;
    return true;
}

// Personal indexes carried from the group editor's member list into the member chooser and back;
// it exists only while the chooser is open.
using MemberScratch = std::vector<uint32_t>;

INT_PTR CALLBACK PersonalEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the member chooser over `scratch` with the group editor's list resources; true when it was
// closed with OK, and `scratch` then holds the chosen members in list order.
bool ChooseMembers(HWND owner, const GroupEditorState& lists, MemberScratch& scratch);

// The entry at `index` when it exists and is live; null otherwise.
template <class Entry>
const Entry* LiveEntryAt(const EntryList<Entry>& list, int64_t index)
{
    if (index < 0 || !list.exists || index >= list.Count())
        return nullptr;
    const Entry& entry = list.entries[static_cast<size_t>(index)];
    return entry.state == kEntryLive ? &entry : nullptr;
}

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

// Member lists: personal entries as items, and their indexes in list order.
void AddPersonalItems(HWND list, const MemberScratch& indexes);
MemberScratch PersonalIndexesIn(HWND list);

// A refused name or a full list: the message with the stop icon, over the dialog.
void ShowEditorMessage(HWND dialog, unsigned textId);

// Checks the name typed into control `nameId` for the entry at `index` (-1 new) with `refused`;
// false, after showing the refusal, keeps the dialog open.
template <class List>
bool NameAccepted(HWND dialog, int nameId, const List& list, int index,
                  unsigned (*refused)(const List&, const char*, int, const LeadBytes&))
{
    char name[kTextFieldSize];
    ReadField(dialog, nameId, kEditorTextLimit, name);
    const unsigned refusal = refused(list, name, index, g_program.leadBytes);
    if (refusal != 0)
        ShowEditorMessage(dialog, refusal);
    return refusal == 0;
}

// What both editors do on OK once the name has passed: a new entry is appended to `list` (a full
// list refuses it with a message), `store` fills the entry at `index`, a new entry goes to the top
// of the main list, the sort orders are due again and an edited entry's lists repainted. False when
// nothing was stored.
template <class List, class Store>
bool StoreEntry(HWND dialog, List& list, int (*append)(List&), EntryKind kind, int& index, Store store)
{
    const bool isNew = index < 0;
    if (isNew) {
        index = append(list);
        if (index < 0) { // an EntryRef could not name it
            ShowEditorMessage(dialog, IDS_LIST_FULL);
            return false;
        }
    }
    store(list.entries[index]);
    if (isNew)
        InsertAtTopOfMainList(MakeEntryRef(index, kind));
    InvalidateSortIndexes(g_program.book);
    if (!isNew)
        RepaintEntryLists();
    return true;
}

// The owner-drawn member lists of the group editor and the member chooser, drawn with the group
// editor's font and icons: answers their draw requests, and their measure requests once the
// dialog has its state (the lists are measured when they are made, before it); false for any
// other message. SizeMemberList gives a list measured before the height it should have.
bool AnswerMemberLists(const GroupEditorState* lists, UINT message, LPARAM lParam);
void SizeMemberList(HWND dialog, int listId, const GroupEditorState& lists);
