#include "monitor/ui/port_name_rule.h"

#include <cwchar>
#include <cwctype>

namespace {
constexpr wchar_t kForbiddenCharacters[] = L";\\/*?\"<>|()'";

bool HasMonitorPrefix(const wchar_t* name)
{
    return std::towupper(name[0]) == L'N' && std::towupper(name[1]) == L'M' &&
           std::towupper(name[2]) == L'X';
}

// Letters, digits, punctuation and blanks. The C library counts the tab as a blank, but it is a
// control character like the line break.
bool IsNameCharacter(wchar_t c)
{
    return !std::iswcntrl(c) &&
           (std::iswalpha(c) || std::iswdigit(c) || std::iswpunct(c) || std::iswblank(c));
}
} // namespace

bool IsValidPortName(const wchar_t* name)
{
    if (name == nullptr || !HasMonitorPrefix(name))
        return false;
    // The name also names the port's registry key and fills a 32-character field, so a longer
    // one (set into the field by other means than typing) is refused too.
    std::size_t length = 0;
    for (const wchar_t* p = name; *p != L'\0'; ++p, ++length) {
        if (length == kMaxPortNameChars || std::wcschr(kForbiddenCharacters, *p) != nullptr ||
            !IsNameCharacter(*p))
            return false;
    }
    return true;
}
