#pragma once
#include <windows.h>

#include <initializer_list>

// Helpers the monitor's dialog procedures share (the public routines are in dialogs.h).

// CreateDialogFont with a device context of the given control.
HFONT CreateDialogFontFor(HWND control);

// Sends the font to the dialog's controls, in the given order, without redrawing them.
void SendFontToControls(HWND dialog, HFONT font, std::initializer_list<int> controlIds);

void EnableControls(HWND dialog, bool enable, std::initializer_list<int> controlIds);
