#pragma once
// The personal editor (dialog 105), the group editor (dialog 103) and its member chooser
// (dialog 106). Each is modal and sets g_program.modalOpen while it runs.
#include <windows.h>

// index: the entry to edit, or -1 for a new one.
void OpenPersonalEditor(HWND owner, int index);
void OpenGroupEditor(HWND owner, int index);
// Edits the entry behind the first selected item of list `listId` of `owner` (the main list, or
// the group editor's member list); nothing when nothing is selected.
void EditSelected(HWND owner, int listId);
