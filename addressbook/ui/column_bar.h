#pragma once
// The column bar under the toolbar ("InBoxItemClass"): the headers of the main list's columns.
#include <windows.h>

constexpr char kColumnBarClass[] = "InBoxItemClass";

LRESULT CALLBACK ColumnBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
