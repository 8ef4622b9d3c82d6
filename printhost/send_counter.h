#pragma once
#include <windows.h>

// Counts the socket sends of one loaded library, for the benchmark's figures: the library's import
// of send from WS2_32.dll is pointed at a wrapper that counts each call and the bytes it took, and
// then calls the real send. The library's code is unchanged.
struct SendCounts {
    unsigned long calls = 0;
    unsigned long long bytes = 0;
};

// False when the library imports no send from WS2_32.dll by name, or its import table cannot be
// changed. Once per process: the counts are process-wide.
bool CountSendsOf(HMODULE module);

// Read them after the sending thread has ended (the wrapper does not synchronise).
SendCounts SendCountsSoFar();
