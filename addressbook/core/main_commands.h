#pragma once
// The main window's commands (menus, accelerators, toolbar, the main list's notifications), the
// filling of the main list and the help window.
#include <windows.h>

// Every live personal entry in index order, then every live group in index order.
void FillMainList();
// Runs a command of the main window; false for ids it has no command for.
bool RunCommand(HWND window, int id, int notification);
// Closes the help window at exit when help was opened.
void CloseHelp();
