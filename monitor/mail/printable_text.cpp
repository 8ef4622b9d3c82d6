#include "monitor/mail/printable_text.h"

#include <cwchar>
#include <cwctype>

bool IsPrintableCharacter(wchar_t c)
{
    return !std::iswcntrl(c) &&
           (std::iswalpha(c) || std::iswdigit(c) || std::iswpunct(c) || std::iswblank(c));
}

void TrimTrailingNonPrintable(wchar_t* text)
{
    std::size_t length = std::wcslen(text);
    while (length > 0 && !IsPrintableCharacter(text[length - 1]))
        --length;
    text[length] = L'\0';
}
