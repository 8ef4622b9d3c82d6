#pragma once
#include <windows.h>

// What window_probe.dll, inside the probed program, and window_probe.h, in the test, share.
constexpr wchar_t kProbeMessageName[] = L"VelloprintWindowProbe";
constexpr wchar_t kProbeMappingName[] = L"VelloprintWindowProbeAnswer";
constexpr wchar_t kProbeDoneName[] = L"VelloprintWindowProbeDone";

struct ProbeAnswer {
    BOOL hasFont;
    int fontBytes; // what GetObjectA gave
    LOGFONTA font;
    FILETIME kernelTime; // the probed process's processor time so far
    FILETIME userTime;
};
