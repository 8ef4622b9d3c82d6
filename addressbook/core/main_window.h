#pragma once
// What the main window offers the editors, the recipient box and the bars.
#include <windows.h>

#include "addressbook/core/address_data.h"

constexpr char kMainWindowClass[] = "KapAddressBook";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Enables the commands, toolbar buttons and recipient-box buttons for the current selection.
void RefreshEnabling();
// A new entry is shown at the top of the main list, whatever order it shows.
void InsertAtTopOfMainList(EntryRef ref);
// Repaints the main list and, when present, the recipient list (their texts come from the entries).
void RepaintEntryLists();
// Selects the status hint for the window under the mouse (a toolbar or recipient-box button, or
// none) and repaints the status window when the hint changes.
void UpdateStatusHint(HWND underCursor);
// A resource string of pelmoraRC.dll; empty when it cannot be loaded.
void LoadResourceText(UINT id, char* buffer, int capacity);
// A message box with caption string 101, brought to the foreground; returns its answer. With an
// argument the text is a format whose one "%s" it fills.
int ShowProgramMessage(HWND owner, UINT textId, UINT style, const char* argument = nullptr);
