#include "monitor/mail/text_conversion.h"
#include "monitor/mail/printable_text.h"

void ToAnsiText(const WCHAR* text, char* out, int capacity)
{
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, out, capacity, nullptr, nullptr) == 0)
        out[0] = '\0';
}

void ToWideTrimmed(const char* text, WCHAR* out, int capacity)
{
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity) == 0) {
        out[0] = L'\0';
        return;
    }
    TrimTrailingNonPrintable(out);
}
