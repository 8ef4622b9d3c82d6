#pragma once
#include <windows.h>

// Message box with caption and text loaded from the resource library; the text is a wvsprintfW
// format filled with the arguments. Returns the box's result, or 0 when a string is missing.
int ShowResourceMessage(HWND owner, UINT style, UINT captionId, UINT textId, ...);

// Message box without owner, with the message caption and the text of resource string textId.
int ShowMonitorMessage(UINT textId, UINT style);

constexpr UINT kStyleError = MB_ICONERROR | MB_SETFOREGROUND;  // 0x10010
constexpr UINT kStylePlain = MB_SETFOREGROUND;                 // 0x10000
