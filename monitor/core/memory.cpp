#include "monitor/core/memory.h"

void* AllocZeroed(SIZE_T bytes)
{
    return GlobalAlloc(GPTR, bytes);
}

WCHAR* DuplicateString(const WCHAR* text)
{
    if (text == nullptr)
        return nullptr;
    const SIZE_T bytes = (lstrlenW(text) + 1) * sizeof(WCHAR);
    auto* copy = static_cast<WCHAR*>(AllocZeroed(bytes));
    if (copy != nullptr)
        CopyMemory(copy, text, bytes);
    return copy;
}
