#pragma once
// The address book's dialogs paint their background, labels and buttons light grey.
#include <windows.h>

// For a dialog procedure: answers the dialog, static and button colour requests (the text
// background light grey, the standard light-grey brush); false for any other message.
bool AnswerLightGrey(UINT message, WPARAM wParam, INT_PTR& result);
