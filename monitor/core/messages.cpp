#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"

#include <cstdarg>

namespace {

// A message box of this process with the given owner.
class ScreenBox final : public MessageTarget {
public:
    constexpr explicit ScreenBox(HWND owner) : owner_(owner) {}
    int Show(const WCHAR* caption, const WCHAR* text, UINT style) override
    {
        return MessageBoxW(owner_, text, caption, style);
    }
    int ShowWithButtonLanguage(const WCHAR* caption, const WCHAR* text, UINT style, LANGID language) override
    {
        return MessageBoxExW(owner_, text, caption, style, language);
    }

private:
    HWND owner_;
};

int ShowFormattedMessage(MessageTarget& target, UINT style, UINT captionId, UINT textId, va_list args)
{
    WCHAR format[256];
    WCHAR caption[40];
    if (LoadStringW(g_resourceLibrary, textId, format, 256) == 0 ||
        LoadStringW(g_resourceLibrary, captionId, caption, 40) == 0)
        return 0;

    // wvsprintfW writes at most 1024 characters; the box shows at most 255 of them.
    WCHAR formatted[1025];
    wvsprintfW(formatted, format, args);
    formatted[255] = L'\0';
    return target.Show(caption, formatted, style);
}

} // namespace

MessageTarget& ThisProcessScreen()
{
    static ScreenBox screen(nullptr);
    return screen;
}

int ShowResourceMessage(MessageTarget& target, UINT style, UINT captionId, UINT textId, ...)
{
    va_list args;
    va_start(args, textId);
    const int answer = ShowFormattedMessage(target, style, captionId, textId, args);
    va_end(args);
    return answer;
}

int ShowResourceMessage(HWND owner, UINT style, UINT captionId, UINT textId, ...)
{
    ScreenBox box(owner);
    va_list args;
    va_start(args, textId);
    const int answer = ShowFormattedMessage(box, style, captionId, textId, args);
    va_end(args);
    return answer;
}

int ShowMonitorMessage(MessageTarget& target, UINT textId, UINT style)
{
    WCHAR text[2048];
    if (LoadStringW(g_resourceLibrary, textId, text, 2048) == 0)
        return 0;
    return target.Show(g_messageCaption, text, style);
}

int ShowMonitorMessage(UINT textId, UINT style)
{
    return ShowMonitorMessage(ThisProcessScreen(), textId, style);
}
