// Both resource libraries in each language they hold: every text resource of the English set is
// there in Japanese too, with every string; the monitor's name is the same in both; the address
// book's target title is the port settings caption of its own language; the platform picks the
// user's language. The address book's Japanese set also passes all of resources_pelmora_test (its
// ctest entry resources_pelmora_japanese); the monitor's dialogs are driven by "_japanese" entries.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "monitor/core/resource_ids.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const wchar_t* const kLibraries[] = {L"NmxRC.dll", L"pelmoraRC.dll"};

HMODULE Load(const wchar_t* name) // for the test process's life
{
    return LoadLibraryW((DistDirectory() + L"\\" + name).c_str());
}

// The resources of a type, by number, and the languages each is in.
using Languages = std::map<UINT, std::set<LANGID>>;
BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR found)
{
    (*reinterpret_cast<Languages*>(found))[static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name))].insert(language);
    return TRUE;
}
BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found)
{
    return EnumResourceLanguagesW(module, type, name, AddLanguage, found);
}
Languages LanguagesOf(HMODULE module, LPCWSTR type)
{
    Languages found;
    EnumResourceNamesW(module, type, AddName, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

// String `id` of one language: its block of 16 counted strings.
std::wstring StringOf(HMODULE module, UINT id, LANGID language)
{
    const HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    const auto* text = block == nullptr ? nullptr : static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    if (text == nullptr)
        return L"";
    for (UINT i = 0; i < id % 16; ++i)
        text += 1 + *text;
    return std::wstring(text + 1, *text);
}

// Whether a text survives code page 932, the address book's ANSI code page for a Japanese user.
bool HoldsOnlyShiftJis(const std::wstring& text)
{
    char bytes[4096];
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(932, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, &lost);
    wchar_t back[4096];
    return !lost && MultiByteToWideChar(932, 0, bytes, size, back, ARRAYSIZE(back)) > 0 && text == back;
}

// Pictures and the version block are neutral; a neutral text would come before the user's
// language in Windows' lookup.
TEST(ResourceLanguages, EveryTextResourceIsInEnglishAndJapaneseAndOnlyPicturesAreNeutral)
{
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    for (const wchar_t* name : kLibraries) {
        const HMODULE library = Load(name);
        ASSERT_NE(nullptr, library);
        for (LPCWSTR type : {RT_STRING, RT_DIALOG, RT_MENU, RT_ACCELERATOR, RT_BITMAP, RT_GROUP_ICON, RT_VERSION}) {
            const bool picture = type == RT_BITMAP || type == RT_GROUP_ICON || type == RT_VERSION;
            for (const auto& [id, languages] : LanguagesOf(library, type))
                EXPECT_EQ((picture ? std::set<LANGID>{neutral} : std::set<LANGID>{kEnglish, kJapanese}), languages)
                    << Utf8(name) << " type " << reinterpret_cast<ULONG_PTR>(type) << " id " << id;
        }
        EXPECT_FALSE(LanguagesOf(library, RT_DIALOG).empty()) << Utf8(name);
    }
}

// The monitor reads its texts in UTF-16, the address book in the ANSI code page: Shift-JIS.
TEST(ResourceLanguages, EveryEnglishStringHasAJapaneseOneThatTheProgramCanRead)
{
    for (const wchar_t* name : kLibraries) {
        const HMODULE library = Load(name);
        for (const auto& [block, languages] : LanguagesOf(library, RT_STRING)) {
            for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
                const std::wstring japanese = StringOf(library, id, kJapanese);
                EXPECT_EQ(StringOf(library, id, kEnglish).empty(), japanese.empty()) << Utf8(name) << " " << id;
                EXPECT_TRUE(name[0] == L'N' || HoldsOnlyShiftJis(japanese)) << id;
            }
        }
    }
}

// It names the monitor in the spooler's registry.
TEST(ResourceLanguages, TheMonitorNameIsTheSameInEveryLanguage)
{
    const HMODULE monitor = Load(L"NmxRC.dll");
    EXPECT_EQ(StringOf(monitor, IDS_MONITOR_NAME, kEnglish), L"Velloprint Mail Port");
    EXPECT_EQ(StringOf(monitor, IDS_MONITOR_NAME, kJapanese), L"Velloprint Mail Port");
}

// The address book finds the port settings dialog of the same language by its title.
TEST(ResourceLanguages, TheTargetTitleIsThePortSettingsCaptionOfItsLanguage)
{
    const HMODULE monitor = Load(L"NmxRC.dll");
    const HMODULE book = Load(L"pelmoraRC.dll");
    for (LANGID language : {kEnglish, kJapanese}) {
        EXPECT_FALSE(StringOf(book, IDS_TARGET_TITLE, language).empty());
        EXPECT_EQ(StringOf(book, IDS_TARGET_TITLE, language), DialogCaption(monitor, IDD_PORT_CONFIG, language));
    }
    EXPECT_NE(StringOf(book, IDS_TARGET_TITLE, kEnglish), StringOf(book, IDS_TARGET_TITLE, kJapanese));
}

// What LoadString and the dialog functions (which find a template as DialogCaption does without
// a language) give a user who reads `language`.
void ExpectThePlatformPicks(LANGID language)
{
    const HMODULE monitor = Load(L"NmxRC.dll");
    const HMODULE book = Load(L"pelmoraRC.dll");
    wchar_t text[256] = {};
    LoadStringW(monitor, IDS_PORT_NAME_CAPTION, text, ARRAYSIZE(text));
    EXPECT_EQ(StringOf(monitor, IDS_PORT_NAME_CAPTION, language), text);
    EXPECT_EQ(DialogCaption(monitor, IDD_ADD_PORT, language), DialogCaption(monitor, IDD_ADD_PORT));
    EXPECT_EQ(DialogCaption(book, IDD_FIND, language), DialogCaption(book, IDD_FIND));
}

TEST(ResourceLanguages, AnEnglishUserGetsEnglish)
{
    ASSERT_NE(LANG_JAPANESE, PRIMARYLANGID(GetUserDefaultUILanguage()));
    ExpectThePlatformPicks(kEnglish);
}

// Run by its own ctest entry with a Japanese locale.
TEST(ResourceLanguages, DISABLED_AJapaneseUserGetsJapanese)
{
    ASSERT_EQ(LANG_JAPANESE, PRIMARYLANGID(GetUserDefaultUILanguage()));
    ExpectThePlatformPicks(kJapanese);
}

} // namespace
