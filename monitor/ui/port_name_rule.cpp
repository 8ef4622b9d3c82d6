#include "monitor/ui/port_name_rule.h"
#include "monitor/ui/port_name_characters.h"

#include <cwchar>

namespace {
constexpr wchar_t kForbiddenCharacters[] = L";\\/*?\"<>|()'";

bool IsLetter(wchar_t c, char upper)
{
    return c == static_cast<wchar_t>(upper) || c == static_cast<wchar_t>(upper - 'A' + 'a');
}
} // namespace

bool HasMonitorPortPrefix(const wchar_t* name)
{
    return IsLetter(name[0], 'N') && IsLetter(name[1], 'M') && IsLetter(name[2], 'X');
}

bool IsValidPortName(const wchar_t* name)
{
    if (name == nullptr || !HasMonitorPortPrefix(name))
        return false;
    // The name also names the port's registry key and fills a 32-character field, so a longer
    // one (set into the field by other means than typing) is refused too.
    std::size_t length = 0;
    for (const wchar_t* p = name; *p != L'\0'; ++p, ++length) {
        if (length == kMaxPortNameChars || std::wcschr(kForbiddenCharacters, *p) != nullptr ||
            !IsPortNameCharacter(static_cast<char32_t>(*p)))
            return false;
    }
    return true;
}
