#pragma once
#include <windows.h>

// Owns a file handle from CreateFile; INVALID_HANDLE_VALUE means none.
class ScopedFile {
public:
    explicit ScopedFile(HANDLE file) : file_(file) {}
    ~ScopedFile() { Close(); }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return file_; }
    // False when the handle would not close (the last writes may be lost then).
    bool Close()
    {
        const bool closed = file_ == INVALID_HANDLE_VALUE || CloseHandle(file_) != FALSE;
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE file_;
};
