#pragma once
#include <windows.h>

#include "monitor/ui/port_name_rule.h"

// The monitor's dialogs. Each runs modally on the calling thread; their templates and texts come
// from the resource library.

// Add-port dialog: the accepted name as a new zero-filled copy (freed with GlobalFree), or nullptr
// when the user cancels or the dialog cannot be created.
WCHAR* ShowAddPortDialog(HWND owner);

// Port configuration dialog for a port of the list, which the caller found under the monitor
// lock and still holds the lock or a reference to: 1 accepted, 0 cancelled, -1 when the dialog
// cannot be created. During a job on a port whose ShowSw is not 1 it returns 1 without showing.
struct PortEntry;
INT_PTR ShowPortConfigDialog(HWND owner, PortEntry* entry);

// Notice dialog, also exported: 1 after OK or when the notice is switched off, -1 on failure.
extern "C" int WINAPI Display347Check(HWND owner);

// Routines shared by the dialogs.
void CenterWindowOnScreen(HWND window);
void ForceForegroundWindow(HWND window);
// The Japanese dialog font for a Japanese user language, else nullptr (the template font stays).
HFONT CreateDialogFont(HDC dc);
