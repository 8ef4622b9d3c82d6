#include "tests/wine/support/dialog_driver.h"

#include <gtest/gtest.h>

#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/programs.h"

#include <cwchar>

namespace {
constexpr DWORD kPollMs = 10;
constexpr WPARAM kFlushMarker = 0x4E4D5846;
constexpr int kMessageBoxTextId = 0xFFFF;

// Before any test runs, so that a failed check anywhere in a dialog test program is reported
// without crashing it.
const bool g_failuresWithoutDebugOutput = (PrintFailuresWithoutDebugOutput(), true);

// The hook procedure has no context argument: one dialog thread runs at a time.
DialogThread* g_hookOwner = nullptr;

bool IsDialogWindow(HWND window)
{
    WCHAR className[16];
    return GetClassNameW(window, className, ARRAYSIZE(className)) > 0 && wcscmp(className, L"#32770") == 0;
}

struct DialogSearch {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchVisibleDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<DialogSearch*>(context);
    if (!IsDialogWindow(window) || !IsWindowVisible(window))
        return TRUE;
    WCHAR caption[256];
    // Without a message to the dialog's thread: the polling must not load it.
    InternalGetWindowText(window, caption, ARRAYSIZE(caption));
    if (*search->caption != caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK AnswerAnyDialog(HWND window, LPARAM command)
{
    if (IsDialogWindow(window))
        PostClick(window, static_cast<int>(command));
    return TRUE;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM text)
{
    WCHAR className[64] = {};
    WCHAR caption[128] = {};
    GetClassNameW(window, className, ARRAYSIZE(className));
    InternalGetWindowText(window, caption, ARRAYSIZE(caption));
    *reinterpret_cast<std::string*>(text) += "; window " + Utf8(className) + " \"" + Utf8(caption) + "\"" +
                                             (IsWindowVisible(window) ? " visible" : " hidden");
    return TRUE;
}

template <typename Condition> bool PollUntil(Condition condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}
} // namespace

DialogThread::DialogThread(std::function<INT_PTR()> call) : call_(std::move(call))
{
    g_hookOwner = this;
    hookReady_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.Reset(CreateThread(nullptr, 0, Run, this, 0, &threadId_));
    WaitForSingleObject(hookReady_.Get(), kDialogTimeoutMs);
}

DialogThread::~DialogThread()
{
    // Cancel first; the notice dialog knows only OK. A thread that never ends hangs the test,
    // which its time limit then stops.
    for (int attempt = 0; WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT; ++attempt) {
        EnumThreadWindows(threadId_, AnswerAnyDialog, attempt % 2 == 0 ? IDCANCEL : IDOK);
        WaitForSingleObject(thread_.Get(), 500);
    }
    g_hookOwner = nullptr;
}

DWORD WINAPI DialogThread::Run(void* context)
{
    auto* self = static_cast<DialogThread*>(context);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // gives the thread its message queue
    self->hook_ = SetWindowsHookExW(WH_GETMESSAGE, RecordRetrieved, nullptr, GetCurrentThreadId());
    SetEvent(self->hookReady_.Get());
    self->result_ = self->call_();
    UnhookWindowsHookEx(self->hook_);
    return 0;
}

LRESULT CALLBACK DialogThread::RecordRetrieved(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && g_hookOwner != nullptr) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        std::lock_guard<std::mutex> lock(g_hookOwner->mutex_);
        g_hookOwner->retrieved_.push_back({message->hwnd, message->message, message->wParam, message->lParam});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND DialogThread::WaitForDialog(const std::wstring& caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    PollUntil([&] {
        found = FindDialog(caption);
        return found != nullptr || WaitForSingleObject(thread_.Get(), 0) == WAIT_OBJECT_0;
    }, timeoutMs);
    return found;
}

HWND DialogThread::FindDialog(const std::wstring& caption) const
{
    DialogSearch search{&caption, nullptr};
    EnumThreadWindows(threadId_, MatchVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool DialogThread::WaitForEnd(DWORD timeoutMs) const
{
    return WaitForSingleObject(thread_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool DialogThread::Flush()
{
    // Posted messages are taken in order: once this marker is taken, the earlier ones were too.
    const LPARAM marker = ++flushes_;
    PostThreadMessageW(threadId_, WM_NULL, kFlushMarker, marker);
    bool taken = false;
    PollUntil([&] {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const RetrievedMessage& m : retrieved_)
            taken = taken || (m.window == nullptr && m.message == WM_NULL && m.wParam == kFlushMarker && m.lParam == marker);
        return taken || WaitForEnd(0);
    }, kDialogTimeoutMs);
    return taken;
}

std::string DialogThread::Describe() const
{
    std::string text = WaitForEnd(0) ? "the call returned " + std::to_string(result_) : "the call runs";
    EnumThreadWindows(threadId_, DescribeWindow, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::vector<RetrievedMessage> DialogThread::Retrieved() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return retrieved_;
}

std::wstring ControlText(HWND dialog, int id)
{
    // Asked of the control itself: GetWindowText does not ask a window of another process, and an
    // edit's text is its own.
    HWND control = GetDlgItem(dialog, id);
    const auto length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void SetControlText(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

void TypeText(HWND dialog, int id, const std::wstring& text, Typing typing)
{
    // Typing replaces the selection: the whole text, or the empty range at its end.
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
    if (typing == Typing::Replace)
        SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1);
    else
        SendDlgItemMessageW(dialog, id, EM_SETSEL, length, length);
    for (wchar_t c : text)
        SendDlgItemMessageW(dialog, id, WM_CHAR, c, 1);
}

void DriveDialog(DialogThread& thread, const std::wstring& caption, const std::function<void(HWND dialog)>& body,
                 int button)
{
    HWND dialog = thread.WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr) << thread.Describe();
    body(dialog);
    PostClick(dialog, button);
    ASSERT_TRUE(thread.WaitForEnd()) << "the dialog did not close";
}

void Click(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostKey(HWND window, UINT virtualKey)
{
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, 0)) << 16;
    PostMessageW(window, WM_KEYDOWN, virtualKey, scanCode | 1);
    PostMessageW(window, WM_KEYUP, virtualKey, scanCode | 0xC0000001);
}

bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void SelectComboItem(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int SelectedComboItem(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> ComboItems(HWND dialog, int id)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, i, 0));
        std::wstring item(length + 1, L'\0');
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(length);
        items.push_back(item);
    }
    return items;
}
