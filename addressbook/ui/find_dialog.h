#pragma once
// The find dialog (template 102): modeless beside the main window, it selects the next main-list
// item whose name or address contains the typed text. The main loop gives it its keyboard
// messages while g_program.findDialog is set.
#include <windows.h>

// Opens the dialog, or brings the open one forward: there is one at a time.
void OpenFindDialog(HWND owner);
