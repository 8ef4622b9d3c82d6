#pragma once
// What the main window offers the editors, the recipient box and the bars.
#include <windows.h>

#include "addressbook/core/address_data.h"

// Enables the commands, toolbar buttons and recipient-box buttons for the current selection.
void RefreshEnabling();
// A new entry is shown at the top of the main list, whatever order it shows.
void InsertAtTopOfMainList(EntryRef ref);
// Repaints the main list and, when present, the recipient list (their texts come from the entries).
void RepaintEntryLists();
// A resource string of pelmoraRC.dll; empty when it cannot be loaded.
void LoadResourceText(UINT id, char* buffer, int capacity);
// A message box with caption string 101, brought to the foreground; returns its answer.
int ShowProgramMessage(HWND owner, UINT textId, UINT style);
