// Both resource libraries in each language they hold: every resource of the English set is there
// in Japanese too, with the same strings, controls, commands and shortcuts; the monitor's name is
// the same in both; the address book's target title is the port settings caption of its own
// language; and the platform picks the user's language.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const wchar_t* const kLibraries[] = {L"NmxRC.dll", L"pelmoraRC.dll"};

class Library {
public:
    explicit Library(const wchar_t* name) : module_(LoadLibraryW((DistDirectory() + L"\\" + name).c_str())) {}
    ~Library() { FreeLibrary(module_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

std::wstring NameOf(LPCWSTR name)
{
    return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name;
}

// Every resource of the library: (type, name) and the languages it is in.
using Inventory = std::map<std::pair<std::wstring, std::wstring>, std::set<LANGID>>;
struct Walk {
    Inventory found;
    LPCWSTR type;
    LPCWSTR name;
};

BOOL CALLBACK VisitLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context)
{
    Walk& walk = *reinterpret_cast<Walk*>(context);
    walk.found[{NameOf(walk.type), NameOf(walk.name)}].insert(language);
    return TRUE;
}

BOOL CALLBACK VisitName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context)
{
    reinterpret_cast<Walk*>(context)->name = name;
    return EnumResourceLanguagesW(module, type, name, VisitLanguage, context);
}

BOOL CALLBACK VisitType(HMODULE module, LPWSTR type, LONG_PTR context)
{
    reinterpret_cast<Walk*>(context)->type = type;
    return EnumResourceNamesW(module, type, VisitName, context);
}

Inventory TakeInventory(HMODULE module)
{
    Walk walk{};
    EnumResourceTypesW(module, VisitType, reinterpret_cast<LONG_PTR>(&walk));
    return walk.found;
}

const void* ResourceData(HMODULE module, LPCWSTR type, UINT id, LANGID language, DWORD* size = nullptr)
{
    const HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = SizeofResource(module, found);
    return LockResource(LoadResource(module, found));
}

// String `id` of one language: its block of 16 counted strings.
std::wstring StringOf(HMODULE module, UINT id, LANGID language)
{
    const auto* text = static_cast<const WCHAR*>(ResourceData(module, RT_STRING, id / 16 + 1, language));
    if (text == nullptr)
        return L"";
    for (UINT i = 0; i < id % 16; ++i)
        text += 1 + *text;
    return std::wstring(text + 1, *text);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Each control of a dialog template of one language: id, class, style and text.
using Control = std::tuple<int, std::wstring, LONG>;
struct Dialog {
    std::wstring caption;
    std::vector<Control> controls;
    std::vector<std::wstring> texts;
};

Dialog DialogOf(HMODULE module, UINT id, LANGID language)
{
    Dialog dialog;
    const auto* data = static_cast<const DLGTEMPLATE*>(ResourceData(module, RT_DIALOG, id, language));
    HWND window = data == nullptr ? nullptr : CreateDialogIndirectParamW(module, data, nullptr, QuietDialog, 0);
    if (window == nullptr)
        return dialog;
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    dialog.caption = text;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, ARRAYSIZE(className));
        GetWindowTextW(child, text, ARRAYSIZE(text));
        dialog.controls.emplace_back(GetDlgCtrlID(child), className, GetWindowLongW(child, GWL_STYLE));
        dialog.texts.emplace_back(text);
    }
    DestroyWindow(window);
    return dialog;
}

// Each command of a menu: its id, its state and the shortcut named after the tab of its text.
using Command = std::tuple<UINT, UINT, std::wstring>;
void CollectCommands(HMENU menu, std::vector<Command>& commands, std::vector<std::wstring>& texts)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, ARRAYSIZE(text), MF_BYPOSITION);
        texts.emplace_back(text);
        if (HMENU sub = GetSubMenu(menu, i)) {
            CollectCommands(sub, commands, texts);
            continue;
        }
        const std::wstring item = text;
        const size_t tab = item.find(L'\t');
        commands.emplace_back(GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION),
                              tab == std::wstring::npos ? L"" : item.substr(tab + 1));
    }
}

// Whether a text survives code page 932, the address book's ANSI code page for a Japanese user.
bool HoldsOnlyShiftJis(const std::wstring& text)
{
    std::string bytes(text.size() * 2 + 1, '\0');
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, &lost);
    std::wstring back(text.size(), L'\0');
    back.resize(MultiByteToWideChar(932, 0, bytes.data(), size, back.data(), static_cast<int>(back.size())));
    return !lost && back == text;
}

TEST(ResourceLanguages, EveryEnglishResourceIsThereInJapaneseAndOnlyPicturesAreNeutral)
{
    // Under Windows' lookup a neutral text would come before the user's language.
    const std::set<std::wstring> neutralTypes = {L"#2", L"#3", L"#14", L"#1", L"#12", L"#16"}; // pictures, version
    for (const wchar_t* name : kLibraries) {
        SCOPED_TRACE(Utf8(name));
        const Library library(name);
        ASSERT_NE(library.Get(), nullptr);
        size_t english = 0;
        for (const auto& [resource, languages] : TakeInventory(library.Get())) {
            SCOPED_TRACE(Utf8(resource.first + L" " + resource.second));
            if (languages.count(kNeutral) != 0) {
                EXPECT_EQ(1u, neutralTypes.count(resource.first));
                EXPECT_EQ(1u, languages.size());
                continue;
            }
            english += languages.count(kEnglish);
            EXPECT_EQ(languages, (std::set<LANGID>{kEnglish, kJapanese}));
        }
        EXPECT_GT(english, 3u);
    }
}

TEST(ResourceLanguages, JapaneseHasEveryStringControlCommandAndShortcutOfEnglish)
{
    for (const wchar_t* name : kLibraries) {
        SCOPED_TRACE(Utf8(name));
        const Library library(name);
        const bool ansiProgram = std::wstring(name) == L"pelmoraRC.dll";
        std::vector<std::wstring> japaneseTexts;
        for (const auto& [resource, languages] : TakeInventory(library.Get())) {
            const UINT type = std::stoi(resource.first.substr(1));
            const UINT id = std::stoi(resource.second.substr(1));
            SCOPED_TRACE(Utf8(resource.first + L" " + resource.second));
            if (type == 6) { // a block of strings
                for (UINT string = (id - 1) * 16; string < id * 16; ++string) {
                    const std::wstring japanese = StringOf(library.Get(), string, kJapanese);
                    EXPECT_EQ(StringOf(library.Get(), string, kEnglish).empty(), japanese.empty()) << string;
                    japaneseTexts.push_back(japanese);
                }
            } else if (type == 5) { // a dialog
                const Dialog english = DialogOf(library.Get(), id, kEnglish);
                const Dialog japanese = DialogOf(library.Get(), id, kJapanese);
                EXPECT_FALSE(english.controls.empty());
                EXPECT_EQ(english.controls, japanese.controls);
                japaneseTexts.insert(japaneseTexts.end(), japanese.texts.begin(), japanese.texts.end());
                japaneseTexts.push_back(japanese.caption);
            } else if (type == 4) { // a menu
                std::vector<Command> english, japanese;
                std::vector<std::wstring> texts;
                for (auto [language, commands] : {std::pair{kEnglish, &english}, std::pair{kJapanese, &japanese}}) {
                    HMENU menu = LoadMenuIndirectW(ResourceData(library.Get(), RT_MENU, id, language));
                    ASSERT_NE(nullptr, menu);
                    texts.clear();
                    CollectCommands(menu, *commands, texts);
                    DestroyMenu(menu);
                }
                EXPECT_FALSE(english.empty());
                EXPECT_EQ(english, japanese);
                japaneseTexts.insert(japaneseTexts.end(), texts.begin(), texts.end());
            } else if (type == 9) { // shortcuts: the keys the menus name
                DWORD englishSize = 0, japaneseSize = 0;
                const void* englishKeys = ResourceData(library.Get(), RT_ACCELERATOR, id, kEnglish, &englishSize);
                const void* japaneseKeys = ResourceData(library.Get(), RT_ACCELERATOR, id, kJapanese, &japaneseSize);
                ASSERT_EQ(englishSize, japaneseSize);
                EXPECT_EQ(0, memcmp(englishKeys, japaneseKeys, englishSize));
            }
        }
        for (const std::wstring& text : japaneseTexts)
            EXPECT_TRUE(!ansiProgram || HoldsOnlyShiftJis(text)) << Utf8(text);
    }
}

// It names the monitor in the spooler's registry.
TEST(ResourceLanguages, TheMonitorNameIsTheSameInEveryLanguage)
{
    const Library monitor(L"NmxRC.dll");
    EXPECT_EQ(StringOf(monitor.Get(), IDS_MONITOR_NAME, kEnglish), L"Velloprint Mail Port");
    EXPECT_EQ(StringOf(monitor.Get(), IDS_MONITOR_NAME, kJapanese), L"Velloprint Mail Port");
}

// The address book finds the port settings dialog of the same language by its title.
TEST(ResourceLanguages, TheTargetTitleIsThePortSettingsCaptionOfItsLanguage)
{
    const Library monitor(L"NmxRC.dll");
    const Library book(L"pelmoraRC.dll");
    for (LANGID language : {kEnglish, kJapanese}) {
        const std::wstring title = StringOf(book.Get(), IDS_TARGET_TITLE, language);
        EXPECT_FALSE(title.empty());
        EXPECT_EQ(title, DialogCaption(monitor.Get(), IDD_PORT_CONFIG, language)) << language;
    }
    EXPECT_NE(StringOf(book.Get(), IDS_TARGET_TITLE, kEnglish), StringOf(book.Get(), IDS_TARGET_TITLE, kJapanese));
}

// What LoadString and the dialog functions give this user, who reads `language`.
void ExpectThePlatformPicks(LANGID language)
{
    const Library monitor(L"NmxRC.dll");
    const Library book(L"pelmoraRC.dll");
    wchar_t text[256] = {};
    LoadStringW(monitor.Get(), IDS_PORT_NAME_CAPTION, text, ARRAYSIZE(text));
    EXPECT_EQ(StringOf(monitor.Get(), IDS_PORT_NAME_CAPTION, language), text);
    char ansi[256] = {};
    LoadStringA(book.Get(), IDS_TARGET_TITLE, ansi, sizeof(ansi));
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, text, ARRAYSIZE(text));
    EXPECT_EQ(StringOf(book.Get(), IDS_TARGET_TITLE, language), text);
    for (const auto& [library, id] : {std::pair{&monitor, IDD_ADD_PORT}, std::pair{&book, IDD_PERSONAL_EDITOR}}) {
        HWND dialog = CreateDialogParamW(library->Get(), MAKEINTRESOURCEW(id), nullptr, QuietDialog, 0);
        ASSERT_NE(nullptr, dialog);
        GetWindowTextW(dialog, text, ARRAYSIZE(text));
        DestroyWindow(dialog);
        EXPECT_EQ(DialogCaption(library->Get(), id, language), text);
    }
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
