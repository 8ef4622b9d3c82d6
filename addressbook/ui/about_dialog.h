#pragma once
// The about dialog (template 107): the program's version, date and copyright line; modal.
#include <windows.h>

void ShowAboutDialog(HWND owner);
