#pragma once
// The status window at the bottom of the main window ("StatusWindowClass"): the hint for the
// button under the mouse (g_program.statusHint, the id of its string).
#include <windows.h>

constexpr char kStatusWindowClass[] = "StatusWindowClass";

LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
