// The settings store as the port configuration dialog shows and saves it: what a load accepts
// from the registry and the exact form a save writes.
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace {
constexpr wchar_t kPortConfigCaption[] = L"Velloprint Port Settings";
constexpr wchar_t kPort[] = L"NMX1";

class SettingsStore : public ::testing::Test {
protected:
    // Opens the port's configuration dialog on the stored values, lets the test look, and ends
    // it with the given button.
    void WithDialog(const std::vector<RegValue>& stored, const std::function<void(HWND)>& look, int button = IDCANCEL)
    {
        registry_ = std::make_unique<RegistryScope>(std::vector<RegKeySpec>{{kPort, stored}});
        LoadedMonitor monitor;
        ASSERT_NE(monitor.Functions(), nullptr);
        wchar_t port[] = L"NMX1";
        DialogThread thread([&] { return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port)); });
        HWND dialog = thread.WaitForDialog(kPortConfigCaption);
        ASSERT_NE(dialog, nullptr);
        look(dialog);
        PostClick(dialog, button);
        ASSERT_TRUE(thread.WaitForEnd());
        stored_ = RegValues(kPort);
    }

    const RegValue* Stored(const std::wstring& name) const
    {
        auto it = std::find_if(stored_.begin(), stored_.end(), [&](const RegValue& v) { return v.name == name; });
        return it == stored_.end() ? nullptr : &*it;
    }

    MessageBoxCatcher boxes_;
    std::unique_ptr<RegistryScope> registry_; // the port's key, kept until the test has looked
    std::vector<RegValue> stored_;            // the port key's values after the dialog closed
};

TEST_F(SettingsStore, AValueOneCharacterOverItsLimitCountsAsMissing)
{
    const std::wstring limit(128, L'u');
    WithDialog({StringValue(L"UserAddr", limit + L"x", false), StringValue(L"SMTPAddr", limit, false)},
               [&](HWND dialog) {
                   EXPECT_EQ(L"", ControlText(dialog, IDC_USER_ADDR));
                   EXPECT_EQ(limit, ControlText(dialog, IDC_SMTP_ADDR));
               });
}

TEST_F(SettingsStore, ValuesLoadWithOrWithoutTheirTerminatorAndEmptyOnesStayEmpty)
{
    const std::wstring limit(128, L'm');
    WithDialog({StringValue(L"UserAddr", limit, true), StringValue(L"SMTPAddr", L"", false),
                StringValue(L"NotifyAddr", L"n@x.jp", true), DwordValue(L"Notification", 1)},
               [&](HWND dialog) {
                   EXPECT_EQ(limit, ControlText(dialog, IDC_USER_ADDR));
                   EXPECT_EQ(L"", ControlText(dialog, IDC_SMTP_ADDR));
                   EXPECT_EQ(L"n@x.jp", ControlText(dialog, IDC_NOTIFY_ADDR));
               });
}

TEST_F(SettingsStore, AMissingValueLeavesOnlyItsOwnFieldAtTheDefault)
{
    // No "SMTPAddr" and no "Notification": "ServName" and "NotifyAddr" still load, so saving
    // writes them back unchanged.
    WithDialog({StringValue(L"ServName", L"Printer room", false), StringValue(L"NotifyAddr", L"n@x.jp", false),
                DwordValue(L"PartLimit", 2048)},
               [](HWND dialog) {
                   EXPECT_EQ(L"n@x.jp", ControlText(dialog, IDC_NOTIFY_ADDR));
                   EXPECT_EQ(L"", ControlText(dialog, IDC_SMTP_ADDR));
               },
               IDOK);
    EXPECT_EQ(L"Printer room", RegText(kPort, L"ServName"));
}

TEST_F(SettingsStore, ANumberOfTheWrongSizeKeepsItsDefault)
{
    RegValue shortShowSw{L"ShowSw", REG_BINARY, {0, 0}};
    WithDialog({shortShowSw, DwordValue(L"CheckMailSw", 0)}, [](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_SHOW_SW)) << "ShowSw defaults to 1";
        EXPECT_FALSE(IsChecked(dialog, IDC_CHECK_MAIL_SW));
    });
}

TEST_F(SettingsStore, ANumberTheDialogWouldNotStoreCountsAsMissing)
{
    WithDialog({DwordValue(L"Notification", 4), DwordValue(L"ShowSw", 2), DwordValue(L"CheckMailSw", 0xFFFFFFFF),
                DwordValue(L"PartSw", 2), DwordValue(L"PartLimit", 0x400001)},
               [](HWND dialog) {
                   EXPECT_EQ(0, SelectedComboItem(dialog, IDC_NOTIFICATION));
                   EXPECT_TRUE(IsChecked(dialog, IDC_SHOW_SW)) << "ShowSw defaults to 1";
                   EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_MAIL_SW)) << "CheckMailSw defaults to 1";
                   EXPECT_FALSE(IsChecked(dialog, IDC_PART_SW)) << "PartSw defaults to 0";
                   EXPECT_EQ(L"1024", ControlText(dialog, IDC_PART_LIMIT));
               });
}

TEST_F(SettingsStore, SavingWritesExactlyTenValuesAndLeavesOthersAlone)
{
    WithDialog({StringValue(L"Comment", L"kept", true), StringValue(L"UserAddr", L"me@x.jp", true)},
               [](HWND dialog) { SetControlText(dialog, IDC_SMTP_ADDR, L"smtp.x.jp"); }, IDOK);

    const wchar_t* strings[] = {L"ServAddr", L"ServName", L"UserAddr", L"SMTPAddr", L"NotifyAddr"};
    const wchar_t* numbers[] = {L"Notification", L"ShowSw", L"CheckMailSw", L"PartLimit", L"PartSw"};
    EXPECT_EQ(11u, stored_.size());
    for (const wchar_t* name : strings) {
        const RegValue* value = Stored(name);
        ASSERT_NE(nullptr, value) << Utf8(name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value->type) << Utf8(name);
    }
    for (const wchar_t* name : numbers) {
        const RegValue* value = Stored(name);
        ASSERT_NE(nullptr, value) << Utf8(name);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value->type) << Utf8(name);
        EXPECT_EQ(4u, value->data.size()) << Utf8(name);
    }
    // Strings are written as their characters alone (the registry itself may add the terminator
    // it finds after them); an empty field is a value of zero length.
    EXPECT_TRUE(Stored(L"ServName")->data.empty());
    EXPECT_EQ(L"smtp.x.jp", RegText(kPort, L"SMTPAddr"));
    ASSERT_NE(nullptr, Stored(L"Comment"));
}

} // namespace
