#include "monitor/ui/address_list.h"

#include "monitor/ui/port_name_rule.h"

#include <cwchar>

void ReplaceAddressSeparators(char* ansiText)
{
    for (char* p = ansiText; *p != '\0'; ++p) {
        if (*p == ',' || *p == ' ')
            *p = ';';
    }
}

void TrimTrailingNonPrintable(wchar_t* text)
{
    std::size_t length = std::wcslen(text);
    while (length > 0 && !IsPrintableCharacter(text[length - 1]))
        --length;
    text[length] = L'\0';
}
