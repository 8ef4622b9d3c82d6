#pragma once
// The column bar under the toolbar ("InBoxItemClass"): the headers of the main list's columns.
// A click on the names or addresses header sorts the list by it (commands 301 and 302); the
// borders names-addresses and addresses-notes are dragged with the mouse, shown meanwhile by a
// line over the list.
#include <windows.h>

constexpr char kColumnBarClass[] = "InBoxItemClass";

LRESULT CALLBACK ColumnBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
