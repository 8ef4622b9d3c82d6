#include "monitor/mail/text_conversion.h"
#include "monitor/mail/printable_text.h"
#include "monitor/core/memory.h"
#include "monitor/ui/address_list.h"

#include <cwchar>
#include <memory>

void ToAnsiText(const WCHAR* text, char* out, int capacity)
{
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, out, capacity, nullptr, nullptr) == 0)
        out[0] = '\0';
}

bool ToAnsiExact(const WCHAR* text, char* out, int capacity)
{
    ToAnsiText(text, out, capacity);
    // Converted back, the text must be the one it came from. Each byte gives at most one
    // character, so capacity characters hold the way back.
    const std::unique_ptr<WCHAR[], GlobalFreeDeleter> back(
        static_cast<WCHAR*>(AllocZeroed(static_cast<SIZE_T>(capacity) * sizeof(WCHAR))));
    return back && MultiByteToWideChar(CP_ACP, 0, out, -1, back.get(), capacity) > 0 &&
           std::wcscmp(back.get(), text) == 0;
}

void ToWideTrimmed(const char* text, WCHAR* out, int capacity)
{
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity) == 0) {
        out[0] = L'\0';
        return;
    }
    TrimTrailingNonPrintable(out);
}

// Typed separators become ";"; the list goes through the ANSI code page, as the mail sends it,
// and loses trailing line breaks.
void NormaliseAddressList(WCHAR* text, int capacity)
{
    std::unique_ptr<char, GlobalFreeDeleter> ansi(static_cast<char*>(AllocZeroed(kAnsiServAddrBytes)));
    if (!ansi)
        return; // out of memory: the list is kept as typed
    ToAnsiText(text, ansi.get(), kAnsiServAddrBytes);
    ReplaceAddressSeparators(ansi.get());
    ToWideTrimmed(ansi.get(), text, capacity);
}
