#pragma once
#include <windows.h>

// Zero-filled fixed global-memory blocks, freed with GlobalFree.
void* AllocZeroed(SIZE_T bytes);
WCHAR* DuplicateString(const WCHAR* text); // nullptr for a null text or when memory runs out
