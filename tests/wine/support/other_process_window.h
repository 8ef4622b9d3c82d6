#pragma once
#include <windows.h>

#include <string>

// A top-level window shown by a process other than this one (the monitor's notifier, say).
struct OtherProcessWindow {
    HWND window = nullptr;
    DWORD processId = 0;
    std::wstring program; // the file name of the process's program
};

// The first visible window of that caption shown by another process, waited for up to 30 seconds;
// an empty result when none came.
OtherProcessWindow WaitForOtherProcessWindow(const std::wstring& caption);
