#pragma once
#include <windows.h>

#include <type_traits>
#include <utility>

// The one owner of every handle the code holds: files, registry keys, sockets, GDI objects,
// global memory, hooks, atoms. CloseFunction is the platform's release call; Empty gives the value that
// means "nothing owned", null for most handles and INVALID_HANDLE_VALUE for files.
struct NullIsEmpty {
    template <typename Handle>
    static Handle Value() { return Handle{}; }
};
struct InvalidHandleIsEmpty {
    template <typename Handle>
    static Handle Value() { return INVALID_HANDLE_VALUE; }
};

template <typename Handle, auto CloseFunction, typename Empty = NullIsEmpty>
class Scoped {
public:
    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) {}
    ~Scoped() { Reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    static Handle EmptyValue() { return Empty::template Value<Handle>(); }
    bool IsValid() const { return handle_ != EmptyValue(); }
    explicit operator bool() const { return IsValid(); }
    Handle Get() const { return handle_; }
    // For a call that hands out a new handle through a pointer; anything owned before is closed.
    Handle* Out()
    {
        Reset();
        return &handle_;
    }
    // Gives up ownership without closing.
    Handle Release() { return std::exchange(handle_, EmptyValue()); }
    void Reset(Handle handle = EmptyValue())
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != EmptyValue())
            CloseFunction(old);
    }
    // Closes now and says whether the platform did (a file's last writes may be lost otherwise).
    bool Close()
    {
        const Handle old = Release();
        if (old == EmptyValue())
            return true;
        using Result = decltype(CloseFunction(old));
        if constexpr (std::is_void_v<Result>) {
            CloseFunction(old);
            return true;
        } else if constexpr (std::is_same_v<Result, LONG>) {
            return CloseFunction(old) == ERROR_SUCCESS; // RegCloseKey and its kind
        } else {
            return CloseFunction(old) != 0; // BOOL
        }
    }

private:
    Handle handle_ = EmptyValue();
};

using ScopedHandle = Scoped<HANDLE, CloseHandle>;
using ScopedFile = Scoped<HANDLE, CloseHandle, InvalidHandleIsEmpty>;
using ScopedKey = Scoped<HKEY, RegCloseKey>;
using ScopedFont = Scoped<HFONT, DeleteObject>;
using ScopedHook = Scoped<HHOOK, UnhookWindowsHookEx>;
