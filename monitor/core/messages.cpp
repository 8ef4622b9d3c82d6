#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"

#include <cstdarg>

int ShowResourceMessage(HWND owner, UINT style, UINT captionId, UINT textId, ...)
{
    WCHAR format[256];
    WCHAR caption[40];
    if (LoadStringW(g_resourceLibrary, textId, format, 256) == 0 ||
        LoadStringW(g_resourceLibrary, captionId, caption, 40) == 0)
        return 0;

    // wvsprintfW writes at most 1024 characters; the box shows at most 255 of them.
    WCHAR formatted[1025];
    va_list args;
    va_start(args, textId);
    wvsprintfW(formatted, format, args);
    va_end(args);
    formatted[255] = L'\0';
    return MessageBoxW(owner, formatted, caption, style);
}

int ShowMonitorMessage(UINT textId, UINT style)
{
    WCHAR text[2048];
    if (LoadStringW(g_resourceLibrary, textId, text, 2048) == 0)
        return 0;
    return MessageBoxW(nullptr, text, g_messageCaption, style);
}
