// The dialogs' font: the template's for most user languages, the 9-point Japanese Gothic font for
// a Japanese user. The Japanese case needs a process started with a Japanese locale (Wine takes the
// user language from LC_ALL when the process starts), so it is disabled here and run by a ctest
// entry of its own.
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
// "ＭＳ Ｐゴシック"
constexpr wchar_t kJapaneseFace[] = L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
constexpr BYTE kShiftJisCharset = 128;

// Which controls of each dialog take the dialog font; the others keep the template's.
struct DialogFonts {
    int dialogId;
    std::vector<int> withFont;
    std::vector<int> withTemplateFont;
};

const DialogFonts kAddPort = {IDD_ADD_PORT, {IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDOK, IDCANCEL},
                              {IDC_NEW_PORT_NAME}};
const DialogFonts kPortConfig = {
    IDD_PORT_CONFIG,
    {IDC_SHOW_SW, IDC_ADDRESS_BOOK, IDC_NOTIFICATION, IDC_GROUP_ABOUT, IDC_PART_SW, IDC_CHECK_MAIL_SW, IDC_LABEL_FIRST,
     IDC_LABEL_SECOND, IDC_LABEL_SMTP, IDC_LABEL_NOTIFY, IDC_GROUP_DEST, IDC_GROUP_SENDER, IDC_GROUP_NOTIFY,
     IDC_GROUP_JOBS, IDC_LABEL_VERSION, IDC_LABEL_DATE, IDOK, IDCANCEL, IDC_RELOAD, IDC_HELP_BUTTON,
     IDC_NOTIFY_ADDR_LABEL, IDC_PART_LIMIT_LABEL, IDC_PART_LIMIT_UNIT},
    {IDC_SERV_ADDR, IDC_NOTIFY_ADDR, IDC_SMTP_ADDR, IDC_USER_ADDR, IDC_PART_LIMIT, IDC_VERSION_TEXT, IDC_DATE_TEXT,
     IDC_COPYRIGHT_TEXT}};
const DialogFonts kNotice = {IDD_NOTICE, {IDC_NOTICE_DONT_SHOW, IDC_LABEL_FIRST, IDC_LABEL_SECOND, IDOK},
                             {}};

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

class DialogFont : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(monitor_.Functions(), nullptr); }

    // Shows each dialog in turn, lets the check look at it and closes it; the check gets the
    // dialog and what its controls should show.
    void CheckEachDialog(const std::function<void(HWND dialog, const DialogFonts& fonts)>& check)
    {
        std::wstring monitorName = ResourceString(IDS_MONITOR_NAME);
        wchar_t port[] = L"NMX1";
        const Display347CheckFn display347Check = FindDisplay347Check(monitor_.Module());
        ASSERT_NE(display347Check, nullptr);
        const struct {
            const DialogFonts* fonts;
            std::function<INT_PTR()> show;
            int close;
        } dialogs[] = {
            {&kAddPort, [&] { return INT_PTR(monitor_.Functions()->AddPort(nullptr, nullptr, monitorName.data())); },
             IDCANCEL},
            {&kPortConfig, [&] { return INT_PTR(monitor_.Functions()->ConfigurePort(nullptr, nullptr, port)); },
             IDCANCEL},
            {&kNotice, [&] { return INT_PTR(display347Check(nullptr)); }, IDOK},
        };
        for (const auto& d : dialogs) {
            const std::wstring caption = InstalledDialogCaption(d.fonts->dialogId); // in the user's language
            SCOPED_TRACE(Utf8(caption));
            HFONT font = nullptr;
            {
                DialogThread thread(d.show);
                HWND dialog = thread.WaitForDialog(caption);
                ASSERT_NE(dialog, nullptr) << thread.Describe();
                check(dialog, *d.fonts);
                font = FontOf(GetDlgItem(dialog, d.fonts->withFont.front()));
                PostClick(dialog, d.close);
                ASSERT_TRUE(thread.WaitForEnd());
            }
            fontsUsed_.push_back(font);
        }
    }

    // No message box is expected here: the dialog thread's clean-up would answer one, and the
    // dialog would not be found.
    RegistryScope registry_{{{L"NMX1", {}}, {L"1.64", {DwordValue(L"347Check", 0)}}}};
    LoadedMonitor monitor_;
    std::vector<HFONT> fontsUsed_;
};

TEST_F(DialogFont, OtherUserLanguagesKeepTheTemplateFont)
{
    ASSERT_NE(PRIMARYLANGID(GetUserDefaultLangID()), LANG_JAPANESE);
    CheckEachDialog([](HWND dialog, const DialogFonts& fonts) {
        const HFONT templateFont = FontOf(dialog);
        ASSERT_NE(templateFont, nullptr);
        for (int id : fonts.withFont)
            EXPECT_EQ(FontOf(GetDlgItem(dialog, id)), templateFont) << id;
    });
}

// Run by its own ctest entry, in a process with a Japanese user language.
TEST_F(DialogFont, DISABLED_GothicFontInAJapaneseSession)
{
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), LANG_JAPANESE);
    HDC screen = GetDC(nullptr);
    const LONG height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);

    CheckEachDialog([height](HWND dialog, const DialogFonts& fonts) {
        const HFONT font = FontOf(GetDlgItem(dialog, fonts.withFont.front()));
        LOGFONTW description = {};
        ASSERT_EQ(GetObjectW(font, sizeof(description), &description), static_cast<int>(sizeof(description)));
        EXPECT_STREQ(description.lfFaceName, kJapaneseFace);
        EXPECT_EQ(description.lfCharSet, kShiftJisCharset);
        EXPECT_EQ(description.lfHeight, height);
        EXPECT_EQ(description.lfWeight, FW_NORMAL);
        for (int id : fonts.withFont)
            EXPECT_EQ(FontOf(GetDlgItem(dialog, id)), font) << id;
        for (int id : fonts.withTemplateFont)
            EXPECT_EQ(FontOf(GetDlgItem(dialog, id)), FontOf(dialog)) << id;
    });
    ASSERT_EQ(fontsUsed_.size(), 3u);
    for (HFONT font : fontsUsed_)
        EXPECT_EQ(GetObjectType(font), 0u) << "the font outlived its dialog";
}
} // namespace
