#pragma once
#include <windows.h>

// Owns a handle that Close releases (CloseHandle, RegCloseKey); null means none.
template <typename Handle, auto Close>
class Scoped {
public:
    Scoped() = default;
    ~Scoped() { Reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    Handle* Out() { return &handle_; }
    Handle Get() const { return handle_; }
    void Reset()
    {
        if (handle_ != nullptr)
            Close(handle_);
        handle_ = nullptr;
    }

private:
    Handle handle_ = nullptr;
};

using ScopedHandle = Scoped<HANDLE, CloseHandle>;
using ScopedKey = Scoped<HKEY, RegCloseKey>;
