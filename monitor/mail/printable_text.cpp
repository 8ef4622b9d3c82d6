#include "monitor/mail/printable_text.h"
#include "monitor/ui/port_name_characters.h"

#include <cwchar>

// By the Windows character classes, so that every build judges a character alike.
bool IsPrintableCharacter(wchar_t c)
{
    return IsPortNameCharacter(static_cast<char32_t>(c));
}

void TrimTrailingNonPrintable(wchar_t* text)
{
    std::size_t length = std::wcslen(text);
    while (length > 0 && !IsPrintableCharacter(text[length - 1]))
        --length;
    text[length] = L'\0';
}
