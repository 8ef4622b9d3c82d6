#include "monitor/ui/port_name_rule.h"
#include "monitor/mail/printable_text.h"

#include <cwchar>
#include <cwctype>

namespace {
constexpr wchar_t kForbiddenCharacters[] = L";\\/*?\"<>|()'";

bool HasMonitorPrefix(const wchar_t* name)
{
    return std::towupper(name[0]) == L'N' && std::towupper(name[1]) == L'M' &&
           std::towupper(name[2]) == L'X';
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
            !IsPrintableCharacter(*p))
            return false;
    }
    return true;
}
