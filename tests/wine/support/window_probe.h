#pragma once
#include <windows.h>

// Reads the font of a window of another process (GetObject works only in the process that made
// the font): window_probe.dll, beside the test programs, is hooked into the window's thread for
// one posted message, and answers through shared memory. False when no answer came (the thread
// did not look at its messages within the time-out) or the window has no font.
bool ReadWindowFont(HWND window, LOGFONTA* font, DWORD timeoutMs = 10000);
// The processor time (kernel and user, ms) the window's process has used so far, read inside it:
// Wine answers GetProcessTimes for another process with the caller's own times.
bool ReadProcessorTime(HWND window, double* milliseconds, DWORD timeoutMs = 10000);
// Returns once the window's thread has taken from its queue, and handled, every message posted to
// it before this call (a message it is still inside of, such as one that opened a modal dialog,
// excepted); false after the time-out.
bool WaitForPostedMessages(HWND window, DWORD timeoutMs = 10000);
