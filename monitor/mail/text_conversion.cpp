#include "common/scoped.h"
#include "monitor/mail/text_conversion.h"
#include "monitor/mail/printable_text.h"
#include "monitor/core/memory.h"
#include "monitor/ui/address_list.h"

#include <cwchar>

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
    const ScopedBlock<WCHAR> back(
        static_cast<WCHAR*>(AllocZeroed(static_cast<SIZE_T>(capacity) * sizeof(WCHAR))));
    return back && MultiByteToWideChar(CP_ACP, 0, out, -1, back.Get(), capacity) > 0 &&
           std::wcscmp(back.Get(), text) == 0;
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
    ScopedBlock<char> ansi(static_cast<char*>(AllocZeroed(kAnsiServAddrBytes)));
    if (!ansi)
        return; // out of memory: the list is kept as typed
    ToAnsiText(text, ansi.Get(), kAnsiServAddrBytes);
    ReplaceAddressSeparators(ansi.Get());
    ToWideTrimmed(ansi.Get(), text, capacity);
}
