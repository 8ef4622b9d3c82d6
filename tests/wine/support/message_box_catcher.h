#pragma once
#include <windows.h>

#include "common/scoped.h"

#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// Catches the message boxes the code under test shows on any thread of this process (or of the
// process given to WatchProcess, a program the test started) and answers them without a person: a
// thread of its own polls the top-level windows, so boxes shown inside LoadLibrary (DllEntryPoint)
// are caught too. Expected boxes are answered as told, in the
// order expected; any other box is answered with Cancel (OK when it has no Cancel button) and
// fails the test when the catcher ends, as does an expected box that never came.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    UINT style = 0;     // as far as it shows: the MB_* buttons and icon
    int answer = 0;     // the command the box was answered with
    bool expected = false;
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    void Expect(const std::wstring& caption, const std::wstring& text, int answer = IDOK);
    // Watches the boxes of that process from now on instead of this one's.
    void WatchProcess(DWORD processId);

    // True once count boxes have been answered; false after the time-out, which only guards
    // against a hang.
    bool WaitForBoxes(size_t count, DWORD timeoutMs = 30000) const;
    std::vector<SeenBox> Seen() const;
    // Every box seen and every box still expected, one a line, for failure messages.
    std::wstring Describe() const;

private:
    struct ExpectedBox {
        std::wstring caption;
        std::wstring text;
        int answer;
    };

    static DWORD WINAPI Watch(void* self);
    static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);
    void Answer(HWND box);

    mutable std::mutex mutex_;
    std::deque<ExpectedBox> expected_;
    std::vector<SeenBox> seen_;
    std::set<HWND> answered_;
    DWORD process_ = GetCurrentProcessId();
    ScopedHandle stop_;
    ScopedHandle ready_;
    ScopedHandle thread_;
};

// The parts of a message box's style that its window shows.
UINT MessageBoxButtons(UINT style);
UINT MessageBoxIcon(UINT style);
