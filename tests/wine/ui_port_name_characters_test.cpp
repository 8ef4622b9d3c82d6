// The port-name rule's own table of name characters against the Windows character classes that
// the dialog's users see.
#include <windows.h>

#include "monitor/ui/port_name_characters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
bool IsNameCharacterByWindows(WCHAR c)
{
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE1, &c, 1, &type))
        return false;
    return (type & (C1_ALPHA | C1_DIGIT | C1_PUNCT | C1_BLANK)) != 0 && (type & C1_CNTRL) == 0;
}

TEST(PortNameCharacters, AreTheLettersDigitsPunctuationAndBlanksOfWindows)
{
    std::string differing;
    int count = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (IsPortNameCharacter(c) == IsNameCharacterByWindows(static_cast<WCHAR>(c)))
            continue;
        if (++count <= 20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, " %04X", c);
            differing += hex;
        }
    }
    EXPECT_EQ(0, count) << "the table differs at" << differing;
}
} // namespace
