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
// A constant of the handle's own type, such as a socket's INVALID_SOCKET.
template <auto EmptyConstant>
struct ConstantIsEmpty {
    template <typename Handle>
    static Handle Value() { return static_cast<Handle>(EmptyConstant); }
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
    // A memory block's owner reaches what it holds.
    template <typename H = Handle, typename = std::enable_if_t<std::is_class_v<std::remove_pointer_t<H>>>>
    H operator->() const
    {
        return handle_;
    }
    template <typename H = Handle, typename = std::enable_if_t<std::is_class_v<std::remove_pointer_t<H>>>>
    std::remove_pointer_t<H>& operator*() const
    {
        return *handle_;
    }
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
        } else if constexpr (std::is_same_v<Result, HGLOBAL>) {
            return CloseFunction(old) == nullptr; // GlobalFree gives back what it could not free
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
using ScopedHook = Scoped<HHOOK, UnhookWindowsHookEx>;
// A view of a file mapping, such as the block the notifier shares with the monitor.
using ScopedView = Scoped<void*, UnmapViewOfFile>;
// A fixed global-memory block seen as what it holds.
template <typename T>
using ScopedBlock = Scoped<T*, GlobalFree>;

// What a program loads for its run: a library, an icon, a cursor, a menu; and a global atom
// until it is handed on.
using ScopedLibrary = Scoped<HMODULE, FreeLibrary>;
using ScopedIcon = Scoped<HICON, DestroyIcon>;
using ScopedCursor = Scoped<HCURSOR, DestroyCursor>;
using ScopedMenu = Scoped<HMENU, DestroyMenu>;
using ScopedAtom = Scoped<ATOM, GlobalDeleteAtom>;

// GDI objects the code makes (pens, brushes, fonts, bitmaps) and memory device contexts.
template <typename Object>
using ScopedGdiObject = Scoped<Object, DeleteObject>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedMemoryDc = Scoped<HDC, DeleteDC>;

// An object selected into a device context for the life of the owner; the object it replaced is
// selected again at the end, so that the context never holds an object about to be deleted.
class ScopedSelection {
public:
    ScopedSelection() = default;
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() { Reset(); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ScopedSelection(ScopedSelection&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr))
    {
    }
    ScopedSelection& operator=(ScopedSelection&& other) noexcept
    {
        if (this != &other) {
            Reset();
            dc_ = std::exchange(other.dc_, nullptr);
            old_ = std::exchange(other.old_, nullptr);
        }
        return *this;
    }
    void Reset()
    {
        if (old_ != nullptr && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
        dc_ = nullptr;
        old_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// A window's device context from GetDC (the screen's for no window), released with the owner.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A zero-filled movable global-memory block, locked for the life of the owner.
class LockedGlobalMemory {
public:
    explicit LockedGlobalMemory(SIZE_T size) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)), size_(size)
    {
        Lock();
    }
    ~LockedGlobalMemory() { Unlock(); }
    LockedGlobalMemory(const LockedGlobalMemory&) = delete;
    LockedGlobalMemory& operator=(const LockedGlobalMemory&) = delete;
    void* Data() const { return data_; } // null when the block could not be made or locked
    SIZE_T Size() const { return size_; }

    // Gives the block another size; false, with no data, when that fails.
    bool Resize(SIZE_T size)
    {
        Unlock();
        HGLOBAL resized = block_ ? GlobalReAlloc(block_.Get(), size, GMEM_MOVEABLE | GMEM_ZEROINIT) : nullptr;
        if (resized == nullptr)
            return false; // the old block is still owned
        block_.Release();
        block_.Reset(resized);
        size_ = size;
        Lock();
        return data_ != nullptr;
    }

private:
    void Lock() { data_ = block_ ? GlobalLock(block_.Get()) : nullptr; }
    void Unlock()
    {
        if (data_ != nullptr)
            GlobalUnlock(block_.Get());
        data_ = nullptr;
    }

    Scoped<HGLOBAL, GlobalFree> block_;
    SIZE_T size_;
    void* data_ = nullptr;
};
