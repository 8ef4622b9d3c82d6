// The address book's resource library as the program asks for it: every text, menu command,
// shortcut, dialog control and picture by its id, from the built pelmoraRC.dll. The address book
// is an ANSI program, so the texts and templates are read through the narrow functions. Run for a
// Japanese user too (resources_pelmora_japanese), every check holds for the Japanese set; the last
// ones look at the languages of both resource libraries.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "monitor/core/resource_ids.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct FreeLibraryDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeLibraryDeleter>;

struct DestroyWindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, DestroyWindowDeleter>;

// A library of the build, loaded as the programs load it.
Library LoadBuiltLibrary(const wchar_t* name)
{
    return Library(LoadLibraryW((DistDirectory() + L"\\" + name).c_str()));
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A dialog of a template, hidden, without anything of the program's behind it.
Window CreateTemplateDialog(HMODULE resources, int id)
{
    return Window(CreateDialogParamA(resources, MAKEINTRESOURCEA(id), nullptr, QuietDialog, 0));
}

class PelmoraResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(library_, nullptr) << "pelmoraRC.dll is not built"; }
    HMODULE Resources() const { return library_.get(); }

    std::string Text(UINT id) const
    {
        char text[4096] = {};
        const int length = LoadStringA(Resources(), id, text, sizeof(text));
        return std::string(text, length);
    }

private:
    Library library_ = LoadBuiltLibrary(L"pelmoraRC.dll");
};

// --- Texts ---------------------------------------------------------------------------------

struct TextRule {
    UINT id;
    size_t maxChars;  // what the program's buffer for it holds
    int stringFields; // "%s" the program fills in
};

// 101 is also the caption of the box about missing port settings, read into 20 bytes there.
const TextRule kTexts[] = {
    {IDS_APP_TITLE, 19, 0},           {IDS_HINT_NEW_PERSONAL, 255, 0},   {IDS_HINT_NEW_GROUP, 255, 0},
    {IDS_HINT_EDIT, 255, 0},          {IDS_HINT_DELETE, 255, 0},         {IDS_HINT_FIND, 255, 0},
    {IDS_COLUMN_NAME, 1021, 0},       {IDS_COLUMN_ADDRESS, 1021, 0},     {IDS_COLUMN_NOTE, 1021, 0},
    {IDS_TIP_NEW_PERSONAL, 79, 0},    {IDS_TIP_NEW_GROUP, 79, 0},        {IDS_TIP_EDIT, 79, 0},
    {IDS_TIP_DELETE, 79, 0},          {IDS_TIP_FIND, 79, 0},             {IDS_HINT_ADD, 255, 0},
    {IDS_HINT_REMOVE, 255, 0},        {IDS_HINT_SEND, 255, 0},           {IDS_NOT_FOUND, 1023, 0},
    {IDS_PERSONAL_NAME_EMPTY, 1023, 0}, {IDS_GROUP_NAME_EMPTY, 1023, 0}, {IDS_PERSONAL_NAME_TAKEN, 1023, 0},
    {IDS_GROUP_NAME_TAKEN, 1023, 0},  {IDS_BUTTON_ADD, 19, 0},           {IDS_BUTTON_REMOVE, 19, 0},
    {IDS_BUTTON_SEND, 19, 0},         {IDS_TARGET_TITLE, 99, 0},         {IDS_TARGET_MISSING, 1023, 0},
    {IDS_SAVE_FAILED, 1023, 1},       {IDS_LIST_FULL, 1023, 0},          {IDS_HANDOVER_PATH_LONG, 1023, 1},
};

// Every "%" starts a conversion for the formatting functions: counts "%s" and any other.
void CountConversions(const std::string& text, int* strings, int* others)
{
    *strings = *others = 0;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2))
        ++(at + 1 < text.size() && text[at + 1] == 's' ? *strings : *others);
}

TEST_F(PelmoraResources, EveryTextIsThereFitsItsBufferAndHasItsFields)
{
    for (const TextRule& rule : kTexts) {
        SCOPED_TRACE(rule.id);
        const std::string text = Text(rule.id);
        EXPECT_FALSE(text.empty());
        EXPECT_LE(text.size(), rule.maxChars) << text;
        int strings = 0;
        int others = 0;
        CountConversions(text, &strings, &others);
        EXPECT_EQ(rule.stringFields, strings) << text;
        EXPECT_EQ(0, others) << text;
    }
}

// The address book finds the monitor's port settings dialog by this title.
TEST_F(PelmoraResources, TheTargetTitleIsTheCaptionOfTheMonitorsPortSettingsDialog)
{
    const Library monitorResources = LoadBuiltLibrary(L"NmxRC.dll");
    ASSERT_NE(monitorResources, nullptr);
    const Window dialog = CreateTemplateDialog(monitorResources.get(), IDD_PORT_CONFIG);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    char caption[256] = {};
    GetWindowTextA(dialog.get(), caption, sizeof(caption));
    EXPECT_EQ(std::string(caption), Text(IDS_TARGET_TITLE));
}

// --- Menus and shortcuts -------------------------------------------------------------------

struct MenuCommand {
    UINT id;
    const char* shortcut; // after the tab of the item's text; "" for none
    bool grey;            // as the menu resource leaves it
};

// "Add to Recipients" stays grey unless the recipient box exists and enables it.
const MenuCommand kMainMenu[] = {
    {CMD_NEW_PERSONAL, "Ctrl+N", false}, {CMD_NEW_GROUP, "Ctrl+G", false},   {CMD_EXIT, "", false},
    {CMD_EDIT, "Ctrl+E", false},         {CMD_DELETE, "Ctrl+D", false},      {CMD_ADD_RECIPIENT, "Ctrl+R", true},
    {CMD_FIND, "Ctrl+F", false},         {CMD_SORT_BY_NAME, "Ctrl+1", false}, {CMD_SORT_BY_ADDRESS, "Ctrl+2", false},
    {CMD_HELP, "F1", false},             {CMD_ABOUT, "", false},
};
const MenuCommand kContextMenu[] = {
    {CMD_EDIT, "Ctrl+E", false}, {CMD_DELETE, "Ctrl+D", false}, {CMD_ADD_RECIPIENT, "Ctrl+R", true}};

void ExpectCommands(HMENU menu, const MenuCommand* begin, const MenuCommand* end)
{
    for (const MenuCommand* command = begin; command != end; ++command) {
        SCOPED_TRACE(command->id);
        char text[256] = {};
        ASSERT_GT(GetMenuStringA(menu, command->id, text, sizeof(text), MF_BYCOMMAND), 0);
        const std::string item = text;
        const size_t tab = item.find('\t');
        EXPECT_EQ(command->shortcut, tab == std::string::npos ? "" : item.substr(tab + 1)) << item;
        EXPECT_EQ(command->grey, (GetMenuState(menu, command->id, MF_BYCOMMAND) & MF_GRAYED) != 0) << item;
    }
}

TEST_F(PelmoraResources, TheMenusHoldEveryCommandWithItsShortcut)
{
    HMENU main = LoadMenuA(Resources(), MAKEINTRESOURCEA(IDM_MAIN));
    ASSERT_NE(main, nullptr);
    ExpectCommands(main, std::begin(kMainMenu), std::end(kMainMenu));
    EXPECT_EQ(-1, static_cast<int>(GetMenuState(main, CMD_NOTHING, MF_BYCOMMAND)));
    DestroyMenu(main);

    HMENU context = LoadMenuA(Resources(), MAKEINTRESOURCEA(IDM_CONTEXT));
    ASSERT_NE(context, nullptr);
    HMENU first = GetSubMenu(context, 0);
    ASSERT_NE(first, nullptr);
    ExpectCommands(first, std::begin(kContextMenu), std::end(kContextMenu));
    DestroyMenu(context);
}

std::string KeyName(const ACCEL& accel)
{
    std::string name = (accel.fVirt & FCONTROL) ? "Ctrl+" : "";
    if (accel.fVirt & FALT)
        name += "Alt+";
    if (accel.fVirt & FSHIFT)
        name += "Shift+";
    if (accel.key >= VK_F1 && accel.key <= VK_F24)
        return name + "F" + std::to_string(accel.key - VK_F1 + 1);
    return name + static_cast<char>(accel.key);
}

// The main loop translates shortcuts before the modeless find dialog gets a key, so a shortcut
// must never be a key typed into its search field (letters, Enter, Delete, Backspace, arrows).
TEST_F(PelmoraResources, ShortcutsAreTheOnesTheMenuShowsAndLeaveTypingAlone)
{
    HACCEL table = LoadAcceleratorsA(Resources(), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> accels(CopyAcceleratorTableA(table, nullptr, 0));
    CopyAcceleratorTableA(table, accels.data(), static_cast<int>(accels.size()));
    DestroyAcceleratorTable(table);

    std::map<std::string, UINT> shortcuts;
    for (const ACCEL& accel : accels) {
        const std::string key = KeyName(accel);
        SCOPED_TRACE(key);
        EXPECT_TRUE(accel.fVirt & FVIRTKEY);
        EXPECT_TRUE((accel.fVirt & (FCONTROL | FALT)) != 0 || (accel.key >= VK_F1 && accel.key <= VK_F24));
        EXPECT_TRUE(shortcuts.emplace(key, accel.cmd).second) << "used twice";
    }
    std::map<std::string, UINT> shown;
    for (const MenuCommand& command : kMainMenu)
        if (*command.shortcut != '\0')
            shown.emplace(command.shortcut, command.id);
    EXPECT_EQ(shown, shortcuts);
}

// --- Dialogs -------------------------------------------------------------------------------

struct ControlRule {
    int id;
    const char* windowClass;
    DWORD styleOn;  // bits that must be set
    DWORD styleOff; // bits that must be clear
    int limit;      // edit fields: the characters the program allows
};

constexpr DWORD kEntryList = LBS_OWNERDRAWFIXED | LBS_MULTIPLESEL | LBS_NOTIFY | WS_VSCROLL;
constexpr DWORD kNotAStringList = LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_OWNERDRAWVARIABLE | LBS_SORT;
constexpr DWORD kScrollingField = ES_AUTOHSCROLL;

ControlRule Edit(int id, int limit)
{
    return {id, "Edit", kScrollingField, ES_MULTILINE, limit};
}
ControlRule Label(int id)
{
    return {id, "Static", 0, 0, 0};
}
ControlRule Button(int id)
{
    return {id, "Button", 0, 0, 0};
}

struct DialogRule {
    int id;
    std::vector<ControlRule> controls;
};

const DialogRule kDialogs[] = {
    {IDD_PERSONAL_EDITOR,
     {Edit(IDC_PERSONAL_NAME, 127), Edit(IDC_PERSONAL_ADDRESS, 127), Edit(IDC_PERSONAL_DETAIL1, 31),
      Edit(IDC_PERSONAL_DETAIL2, 31), Edit(IDC_PERSONAL_DETAIL3, 31), Edit(IDC_PERSONAL_NOTE, 127), Button(IDOK),
      Button(IDCANCEL), Label(IDC_LABEL1), Label(IDC_LABEL2), Button(IDC_LABEL4) /* the details' frame */,
      Label(IDC_LABEL5), Label(IDC_LABEL6), Label(IDC_LABEL7), Label(IDC_LABEL8)}},
    {IDD_GROUP_EDITOR,
     {Edit(IDC_GROUP_NAME, 127), Edit(IDC_GROUP_NOTE, 127), {IDC_GROUP_MEMBERS, "ListBox", kEntryList, kNotAStringList, 0},
      Button(IDC_GROUP_CHOOSE), Button(IDC_GROUP_EDIT_MEMBER), Button(IDC_GROUP_REMOVE_MEMBER), Button(IDOK),
      Button(IDCANCEL), Label(IDC_LABEL1), Label(IDC_LABEL2), Label(IDC_LABEL4)}},
    {IDD_MEMBER_CHOOSER,
     {{IDC_CHOOSER_ENTRIES, "ListBox", kEntryList, kNotAStringList, 0},
      {IDC_CHOOSER_CHOSEN, "ListBox", kEntryList, kNotAStringList, 0}, Button(IDC_CHOOSER_ADD),
      Button(IDC_CHOOSER_REMOVE), Button(IDOK), Button(IDCANCEL), Label(IDC_LABEL1), Label(IDC_LABEL2)}},
    {IDD_FIND,
     {Edit(IDC_FIND_TEXT, 127), {IDC_FIND_NAMES, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 0, 0},
      {IDC_FIND_ADDRESSES, "Button", BS_AUTORADIOBUTTON, WS_GROUP, 0}, Label(IDC_LABEL1), Button(IDOK),
      Button(IDCANCEL)}},
    {IDD_ABOUT,
     {Label(IDC_ABOUT_VERSION), Label(IDC_ABOUT_DATE), {IDC_ABOUT_COPYRIGHT, "Static", SS_LEFTNOWORDWRAP, 0, 0},
      Button(IDOK)}},
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// A field that does not scroll sideways takes only as many characters as it shows.
int TypeIntoField(HWND field, int count)
{
    SetWindowTextA(field, "");
    for (int i = 0; i < count; ++i)
        SendMessageA(field, WM_CHAR, 'W', 1);
    return GetWindowTextLengthA(field);
}

// A list shows its scroll bar only while its items do not fit.
void FillList(HWND list, int items)
{
    for (int i = 0; i < items; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, i); // the item's data: the list holds no strings
}

TEST_F(PelmoraResources, DialogsHoldTheControlsTheProgramDrives)
{
    for (const DialogRule& dialogRule : kDialogs) {
        SCOPED_TRACE(dialogRule.id);
        const Window dialog = CreateTemplateDialog(Resources(), dialogRule.id);
        ASSERT_NE(dialog, nullptr) << GetLastError();
        for (const ControlRule& rule : dialogRule.controls) {
            SCOPED_TRACE(rule.id);
            HWND control = GetDlgItem(dialog.get(), rule.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(0, lstrcmpiA(rule.windowClass, ClassOf(control).c_str())) << ClassOf(control);
            if (lstrcmpiA(rule.windowClass, "ListBox") == 0)
                FillList(control, 50);
            const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
            EXPECT_EQ(rule.styleOn, style & rule.styleOn) << std::hex << style;
            EXPECT_EQ(0u, style & rule.styleOff) << std::hex << style;
            if (rule.limit > 0) {
                SendMessageA(control, EM_LIMITTEXT, rule.limit, 0);
                EXPECT_EQ(rule.limit, TypeIntoField(control, rule.limit + 5));
            }
        }
    }
}

// The program's 9-point font: its Gothic face name in Shift-JIS bytes, with the Shift-JIS character
// set for a Japanese user and the ANSI one for any other.
HFONT CreateProgramFont(HDC dc)
{
    const BYTE charset = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    return CreateFontA(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       charset, 0, 0, 0, 0, "MS \x83S\x83V\x83" "b\x83N");
}

// Room a button needs besides its text: the box of a check or radio button, a push button's edges.
int ButtonChrome(DWORD style)
{
    switch (style & BS_TYPEMASK) {
    case BS_AUTORADIOBUTTON:
    case BS_RADIOBUTTON:
    case BS_AUTOCHECKBOX:
    case BS_CHECKBOX:
        return 18;
    case BS_GROUPBOX:
        return 14;
    default:
        return 8;
    }
}

SIZE TextSize(HDC dc, HFONT font, const std::string& text)
{
    std::string shown; // without the "&" that underlines the next letter; "&&" shows one
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && ++i == text.size())
            break;
        shown += text[i];
    }
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(dc, old);
    return size;
}

// The program gives the controls its own font, larger than the template's: every caption fits
// in both.
TEST_F(PelmoraResources, EveryCaptionFitsItsControlInTheTemplateFontAndTheProgramFont)
{
    HDC dc = GetDC(nullptr);
    HFONT programFont = CreateProgramFont(dc);
    ASSERT_NE(programFont, nullptr);
    for (const DialogRule& dialogRule : kDialogs) {
        SCOPED_TRACE(dialogRule.id);
        const Window dialog = CreateTemplateDialog(Resources(), dialogRule.id);
        ASSERT_NE(dialog, nullptr);
        for (HWND control = GetWindow(dialog.get(), GW_CHILD); control != nullptr;
             control = GetWindow(control, GW_HWNDNEXT)) {
            char text[256] = {};
            GetWindowTextA(control, text, sizeof(text));
            const std::string className = ClassOf(control);
            if (*text == '\0' || (lstrcmpiA(className.c_str(), "Static") != 0 && lstrcmpiA(className.c_str(), "Button") != 0))
                continue;
            SCOPED_TRACE(text);
            const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
            const int chrome = lstrcmpiA(className.c_str(), "Button") == 0 ? ButtonChrome(style) : 0;
            RECT area = {};
            GetClientRect(control, &area);
            HFONT templateFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
            for (HFONT font : {templateFont, programFont}) {
                const SIZE size = TextSize(dc, font, text);
                EXPECT_LE(size.cx + chrome, area.right) << "wide";
                EXPECT_LE(size.cy, area.bottom) << "high";
            }
        }
    }
    DeleteObject(programFont);
    ReleaseDC(nullptr, dc);
}

// --- Pictures ------------------------------------------------------------------------------

struct Picture {
    UINT id;
    LONG width;
    LONG height;
};

const Picture kPictures[] = {
    {IDB_TOOL_NEW_PERSONAL, 32, 32}, {IDB_TOOL_NEW_PERSONAL + 1, 32, 32}, {IDB_TOOL_NEW_PERSONAL + 2, 32, 32},
    {IDB_TOOL_NEW_GROUP, 32, 32},    {IDB_TOOL_NEW_GROUP + 1, 32, 32},    {IDB_TOOL_NEW_GROUP + 2, 32, 32},
    {IDB_TOOL_EDIT, 32, 32},         {IDB_TOOL_EDIT + 1, 32, 32},         {IDB_TOOL_EDIT + 2, 32, 32},
    {IDB_TOOL_DELETE, 32, 32},       {IDB_TOOL_DELETE + 1, 32, 32},       {IDB_TOOL_DELETE + 2, 32, 32},
    {IDB_TOOL_FIND, 32, 32},         {IDB_TOOL_FIND + 1, 32, 32},         {IDB_TOOL_FIND + 2, 32, 32},
    {IDB_PERSON, 22, 16},            {IDB_GROUP, 22, 16},
};

std::string ResourceBytes(HMODULE module, UINT id, LPCWSTR type)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr)
        return "";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return bytes == nullptr ? "" : std::string(bytes, SizeofResource(module, found));
}

// The program copies a picture as its header, a colour table of biClrUsed entries (or 2 to the
// power of the bit count when that is 0) and the pixels: all of that lies inside the resource.
TEST_F(PelmoraResources, PicturesHaveTheirSizesAndTheCopyTheProgramMakesStaysInside)
{
    std::set<std::string> distinct;
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(picture.id);
        const std::string bytes = ResourceBytes(Resources(), picture.id, MAKEINTRESOURCEW(2) /* RT_BITMAP */);
        ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, bytes.data(), sizeof(header));
        EXPECT_EQ(sizeof(header), header.biSize);
        EXPECT_EQ(picture.width, header.biWidth);
        EXPECT_EQ(picture.height, header.biHeight);
        EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
        ASSERT_LE(header.biBitCount, 8) << "a colour table of 2 to the power of the bit count would be copied";
        const size_t colours = header.biClrUsed != 0 ? header.biClrUsed : size_t(1) << header.biBitCount;
        const size_t stride = ((picture.width * header.biBitCount + 31) / 32) * 4;
        EXPECT_LE(sizeof(header) + colours * sizeof(RGBQUAD) + stride * picture.height, bytes.size());
        EXPECT_TRUE(distinct.insert(bytes).second) << "the same picture as another";

        HBITMAP loaded = LoadBitmapW(Resources(), MAKEINTRESOURCEW(picture.id));
        ASSERT_NE(loaded, nullptr);
        BITMAP info = {};
        GetObjectW(loaded, sizeof(info), &info);
        EXPECT_EQ(picture.width, info.bmWidth);
        EXPECT_EQ(picture.height, info.bmHeight);
        DeleteObject(loaded);
    }
}

TEST_F(PelmoraResources, TheIconHasALargeAndASmallImage)
{
    const std::string group = ResourceBytes(Resources(), IDI_APP, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u);
    const size_t count = static_cast<BYTE>(group[4]) | static_cast<BYTE>(group[5]) << 8;
    ASSERT_EQ(group.size(), 6 + 14 * count);
    std::set<int> sizes;
    for (size_t i = 0; i < count; ++i)
        sizes.insert(static_cast<BYTE>(group[6 + 14 * i])); // width; 0 would mean 256
    EXPECT_EQ((std::set<int>{16, 32}), sizes);
    for (int size : {16, 32}) {
        HICON icon = static_cast<HICON>(LoadImageW(Resources(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(icon);
    }
}

// The resize cursor's drawing is the same mirrored about its hot spot, left to right and top to
// bottom: the hot spot lies in its middle, on the border being dragged.
TEST_F(PelmoraResources, TheResizeCursorHasItsHotSpotInItsMiddle)
{
    HCURSOR cursor = LoadCursorW(Resources(), MAKEINTRESOURCEW(IDC_COLUMN_RESIZE));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    BITMAP masks = {};
    GetObjectW(info.hbmMask, sizeof(masks), &masks);
    ASSERT_EQ(32, masks.bmWidth);
    ASSERT_EQ(64, masks.bmHeight) << "a monochrome cursor: its mask and its colour bits"; // AND, then XOR
    std::vector<BYTE> bits(masks.bmWidthBytes * masks.bmHeight);
    GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
    auto bit = [&](int x, int y) { return (bits[y * masks.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1; };
    const int hx = static_cast<int>(info.xHotspot);
    const int hy = static_cast<int>(info.yHotspot);
    int drawn = 0;      // pixels the mask does not leave transparent
    int unmirrored = 0; // pixels unlike their mirror image, or drawn where it would lie outside
    for (int half : {0, 32})
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int pixel = bit(x, half + y);
                drawn += half == 0 && pixel == 0;
                const int mx = 2 * hx - x;
                const int my = 2 * hy - y;
                const int blank = half == 0 ? 1 : 0; // transparent: mask bit set, colour bit clear
                if (mx >= 0 && mx < 32 && my >= 0 && my < 32)
                    unmirrored += pixel != bit(mx, half + y) || pixel != bit(x, half + my);
                else
                    unmirrored += pixel != blank;
            }
    EXPECT_EQ(0, unmirrored);
    EXPECT_GT(drawn, 100);
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
}

// --- Languages of both libraries ------------------------------------------------------------

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// The resources of a type by number, each with the languages it is in.
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

// String `id` of one language: its block of 16 counted strings.
std::wstring StringOf(HMODULE module, UINT id, LANGID language)
{
    const HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    const auto* text = block == nullptr ? nullptr : static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    for (UINT i = 0; text != nullptr && i < id % 16; ++i)
        text += 1 + *text;
    return text == nullptr ? L"" : std::wstring(text + 1, *text);
}

// A neutral text would come before the user's language in Windows' lookup: only pictures and
// the version block are neutral. Every string of English has a Japanese one.
TEST(ResourceLanguages, EveryTextIsInEnglishAndJapaneseAndOnlyPicturesAreNeutral)
{
    for (const wchar_t* name : {L"NmxRC.dll", L"pelmoraRC.dll"}) {
        const Library library = LoadBuiltLibrary(name);
        for (LPCWSTR type : {RT_STRING, RT_DIALOG, RT_MENU, RT_ACCELERATOR, RT_BITMAP, RT_GROUP_ICON, RT_VERSION}) {
            const std::set<LANGID> wanted = type == RT_BITMAP || type == RT_GROUP_ICON || type == RT_VERSION
                                                ? std::set<LANGID>{LANG_NEUTRAL}
                                                : std::set<LANGID>{kEnglish, kJapanese};
            Languages found;
            EnumResourceNamesW(library.get(), type, AddName, reinterpret_cast<LONG_PTR>(&found));
            EXPECT_FALSE(found.empty() && (type == RT_STRING || type == RT_DIALOG)) << Utf8(name);
            for (const auto& [id, languages] : found) {
                EXPECT_EQ(wanted, languages) << Utf8(name) << " type " << reinterpret_cast<ULONG_PTR>(type) << " id " << id;
                for (UINT string = (id - 1) * 16; type == RT_STRING && string < id * 16; ++string)
                    EXPECT_EQ(StringOf(library.get(), string, kEnglish).empty(),
                              StringOf(library.get(), string, kJapanese).empty()) << Utf8(name) << " string " << string;
            }
        }
    }
}

// Run for an English user and, by resources_pelmora_japanese, for a Japanese one: LoadString and
// the dialogs (whose templates are found as DialogCaption does without a language) take the user's
// language; the monitor's name, which names it in the spooler's registry, is the same in both.
TEST(ResourceLanguages, ThePlatformPicksTheUsersLanguage)
{
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? kJapanese : kEnglish;
    const Library monitor = LoadBuiltLibrary(L"NmxRC.dll");
    const Library book = LoadBuiltLibrary(L"pelmoraRC.dll");
    EXPECT_EQ(DialogCaption(monitor.get(), IDD_PORT_CONFIG, language), DialogCaption(monitor.get(), IDD_PORT_CONFIG));
    EXPECT_EQ(DialogCaption(book.get(), IDD_FIND, language), DialogCaption(book.get(), IDD_FIND));
    EXPECT_NE(DialogCaption(book.get(), IDD_FIND, kEnglish), DialogCaption(book.get(), IDD_FIND, kJapanese));
    wchar_t name[128] = {};
    LoadStringW(monitor.get(), IDS_MONITOR_NAME, name, ARRAYSIZE(name));
    EXPECT_STREQ(L"Velloprint Mail Port", name);
}

} // namespace
