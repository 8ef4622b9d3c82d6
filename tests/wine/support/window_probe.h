#pragma once
#include <windows.h>

// Reads the font of a window of another process (GetObject works only in the process that made
// the font): window_probe.dll, beside the test programs, is hooked into the window's thread for
// one posted message, and answers through shared memory. False when no answer came (the thread
// did not look at its messages within the time-out) or the window has no font.
bool ReadWindowFont(HWND window, LOGFONTA* font, DWORD timeoutMs = 10000);
