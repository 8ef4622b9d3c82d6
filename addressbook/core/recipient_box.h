#pragma once
// The recipient box ("ToBoxClass"), in recipient mode only: the panel above the status window
// that collects the recipients handed back to the port settings dialog.
#include <windows.h>

constexpr char kRecipientBoxClass[] = "ToBoxClass";

LRESULT CALLBACK RecipientBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
