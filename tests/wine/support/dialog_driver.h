#pragma once
#include <windows.h>

#include "common/scoped.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Drives the monitor's modal dialogs from a test. The call that shows them runs on a thread of its
// own (the dialog thread); the test thread finds the dialogs, types, clicks and reads them back.
// Messages sent to a control are handled by the dialog thread while its dialog is up.

// Only a guard against a hang: Wine can be slow to show a dialog on a loaded machine.
constexpr DWORD kDialogTimeoutMs = 120000;

// A message the dialog thread took from its queue, as its WH_GETMESSAGE hook saw it.
struct RetrievedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class DialogThread {
public:
    explicit DialogThread(std::function<INT_PTR()> call);
    // Answers whatever dialog the thread still shows (a failed test) so that it can be joined.
    ~DialogThread();
    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;

    // The visible top-level dialog of the thread with that caption, or nullptr after the timeout.
    HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs = kDialogTimeoutMs) const;
    // The visible top-level dialog of the thread with that caption now, or nullptr.
    HWND FindDialog(const std::wstring& caption) const;
    // True once the call has returned; Result() is its value.
    bool WaitForEnd(DWORD timeoutMs = kDialogTimeoutMs) const;
    INT_PTR Result() const { return result_; }
    // For failure messages: whether the call has returned, and the thread's top-level windows.
    std::string Describe() const;

    // Returns once the dialog thread has handled every message posted to it before this call;
    // false when the thread has ended (or after the timeout) instead.
    bool Flush();
    // The messages the thread took from its queue so far.
    std::vector<RetrievedMessage> Retrieved() const;

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK RecordRetrieved(int code, WPARAM wParam, LPARAM lParam);

    std::function<INT_PTR()> call_;
    INT_PTR result_ = 0;
    ScopedHandle thread_;
    DWORD threadId_ = 0;
    ScopedHandle hookReady_;
    HHOOK hook_ = nullptr;
    LPARAM flushes_ = 0;
    mutable std::mutex mutex_;
    std::vector<RetrievedMessage> retrieved_;
};

// Waits for the thread's dialog with that caption, lets the body work on it, then clicks the
// button (IDOK, IDCANCEL) and waits for the call to return.
void DriveDialog(DialogThread& thread, const std::wstring& caption, const std::function<void(HWND dialog)>& body,
                 int button = IDCANCEL);

std::wstring ControlText(HWND dialog, int id);
// Replaces the text as a program would (WM_SETTEXT): edit limits do not apply.
void SetControlText(HWND dialog, int id, const std::wstring& text);
// Types into an edit as the keyboard would (one WM_CHAR per character): limits apply. The typed
// text replaces the field's text, or goes after it.
enum class Typing { Replace, Append };
void TypeText(HWND dialog, int id, const std::wstring& text, Typing typing = Typing::Replace);
// Clicks a button or check box and returns when the click has been handled.
void Click(HWND dialog, int id);
// Clicks a push button without waiting, for a button whose action shows a message box or ends
// the dialog: posts the command that the button sends its dialog when clicked.
void PostClick(HWND dialog, int id);
// Posts a key press (down and up) to a window of the dialog thread.
void PostKey(HWND window, UINT virtualKey);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// Selects a list item as the user would: the dialog gets the selection-change notification.
void SelectComboItem(HWND dialog, int id, int index);
int SelectedComboItem(HWND dialog, int id);
std::vector<std::wstring> ComboItems(HWND dialog, int id);
