#include "tests/wine/support/message_box_catcher.h"

#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr int kTextControl = 0xFFFF;
constexpr DWORD kPollMs = 10;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

constexpr UINT kSendTimeoutMs = 1000;

struct BoxParts {
    bool onlyBoxControls = true;
    bool hasText = false;
    std::set<int> buttons;
    std::vector<HWND> otherStatics; // the icon is one of them
};

BOOL CALLBACK VisitChild(HWND child, LPARAM parts)
{
    auto* found = reinterpret_cast<BoxParts*>(parts);
    const int id = GetDlgCtrlID(child);
    const std::wstring kind = ClassOf(child);
    const bool visible = (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
    if (_wcsicmp(kind.c_str(), L"Button") == 0 && id >= IDOK && id <= IDCONTINUE) {
        if (visible)
            found->buttons.insert(id);
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        if (id == kTextControl)
            found->hasText = true;
        else if (visible)
            found->otherStatics.push_back(child);
    } else {
        found->onlyBoxControls = false; // an edit, a list, a check box: a dialog of the code
    }
    return TRUE;
}

UINT ButtonsStyle(const std::set<int>& buttons)
{
    static const struct {
        UINT style;
        std::set<int> ids;
    } kinds[] = {
        {MB_OK, {IDOK}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
    };
    for (const auto& kind : kinds) {
        if (kind.ids == buttons)
            return kind.style;
    }
    return MB_OK;
}

// Messages to the box go through its thread; a thread that hangs must not hang the catcher.
LRESULT SendToBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

UINT IconStyle(const std::vector<HWND>& statics)
{
    HICON icon = nullptr;
    for (HWND control : statics) {
        if (icon == nullptr)
            icon = reinterpret_cast<HICON>(SendToBox(control, STM_GETICON, 0, 0));
    }
    if (icon == nullptr)
        return 0;
    static const struct {
        UINT style;
        LPCWSTR id;
    } icons[] = {
        {MB_ICONHAND, IDI_HAND},
        {MB_ICONQUESTION, IDI_QUESTION},
        {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
        {MB_ICONASTERISK, IDI_ASTERISK},
    };
    for (const auto& known : icons) {
        if (LoadIconW(nullptr, known.id) == icon)
            return known.style;
    }
    return 0;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[2048] = {};
    SendToBox(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

UINT MessageBoxButtons(UINT style)
{
    return style & MB_TYPEMASK;
}

UINT MessageBoxIcon(UINT style)
{
    return style & MB_ICONMASK;
}

MessageBoxCatcher::MessageBoxCatcher()
{
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ready_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.Reset(CreateThread(nullptr, 0, Watch, this, 0, nullptr));
    // The watching thread sets up its use of the window system (which may load libraries) before
    // the code under test runs: inside LoadLibrary the loader lock is held while a box is shown.
    HANDLE started[] = {ready_.Get(), thread_.Get()};
    WaitForMultipleObjects(2, started, FALSE, INFINITE);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    SetEvent(stop_.Get());
    WaitForSingleObject(thread_.Get(), INFINITE);
    std::lock_guard<std::mutex> lock(mutex_);
    const bool unexpected = std::any_of(seen_.begin(), seen_.end(), [](const SeenBox& box) { return !box.expected; });
    if (unexpected || !expected_.empty()) {
        std::wstring list;
        for (const SeenBox& box : seen_)
            list += (box.expected ? L"  seen: \"" : L"  UNEXPECTED: \"") + box.caption + L"\" / \"" + box.text + L"\"\n";
        for (const ExpectedBox& box : expected_)
            list += L"  NOT SHOWN: \"" + box.caption + L"\" / \"" + box.text + L"\"\n";
        ADD_FAILURE() << "message boxes differ from the expected ones:\n" << Utf8(list);
    }
}

void MessageBoxCatcher::Expect(const std::wstring& caption, const std::wstring& text, int answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    expected_.push_back({caption, text, answer});
}

void MessageBoxCatcher::WatchProcess(DWORD processId)
{
    std::lock_guard<std::mutex> lock(mutex_);
    process_ = processId;
}

bool MessageBoxCatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (seen_.size() >= count)
                return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
}

std::vector<SeenBox> MessageBoxCatcher::Seen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

std::wstring MessageBoxCatcher::Describe() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::wstring list;
    for (const SeenBox& box : seen_)
        list += L"\"" + box.caption + L"\" / \"" + box.text + L"\"\n";
    return list;
}

DWORD WINAPI MessageBoxCatcher::Watch(void* self)
{
    auto* catcher = static_cast<MessageBoxCatcher*>(self);
    GetDesktopWindow();
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(catcher));
    SetEvent(catcher->ready_.Get());
    while (WaitForSingleObject(catcher->stop_.Get(), kPollMs) == WAIT_TIMEOUT)
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(catcher));
    return 0;
}

BOOL CALLBACK MessageBoxCatcher::VisitWindow(HWND window, LPARAM self)
{
    auto* catcher = reinterpret_cast<MessageBoxCatcher*>(self);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    DWORD watched = 0;
    {
        std::lock_guard<std::mutex> lock(catcher->mutex_);
        watched = catcher->process_;
    }
    if (process == watched && IsWindowVisible(window) && ClassOf(window) == L"#32770")
        catcher->Answer(window);
    return TRUE;
}

void MessageBoxCatcher::Answer(HWND box)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A box stays on screen for a moment after its answer: answer it once.
        for (auto it = answered_.begin(); it != answered_.end();)
            it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
        if (answered_.count(box) != 0)
            return;
    }
    BoxParts parts;
    EnumChildWindows(box, VisitChild, reinterpret_cast<LPARAM>(&parts));
    if (!parts.onlyBoxControls || !parts.hasText || parts.buttons.empty())
        return; // a dialog of the code under test, not a message box

    SeenBox seen;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, kTextControl));
    seen.style = ButtonsStyle(parts.buttons) | IconStyle(parts.otherStatics);

    std::lock_guard<std::mutex> lock(mutex_);
    if (!expected_.empty() && expected_.front().caption == seen.caption && expected_.front().text == seen.text) {
        seen.expected = true;
        seen.answer = expected_.front().answer;
        expected_.pop_front();
    } else {
        seen.answer = parts.buttons.count(IDCANCEL) != 0 ? IDCANCEL : IDOK;
    }
    answered_.insert(box);
    seen_.push_back(seen);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(seen.answer), 0);
}
