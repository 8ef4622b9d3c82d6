// Shows each monitor dialog in turn for scripts/screenshots.sh, which photographs the screen: a
// program of its own, outside the ctest suite, because it needs a real display.
#include "addressbook/core/resource_ids.h"
#include "monitor/core/resource_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
constexpr DWORD kShotTimeoutMs = 120000;

// The script creates "<name>.done" once it has taken "<name>.png" after "<name>.ready" appeared.
class ShotDirectory {
public:
    ShotDirectory()
    {
        wchar_t path[MAX_PATH] = {};
        GetEnvironmentVariableW(L"NMX_SCREENSHOT_DIR", path, MAX_PATH);
        path_ = path;
    }
    bool Valid() const { return !path_.empty(); }

    bool Photograph(const std::wstring& name) const
    {
        HANDLE ready = CreateFileW((path_ + L"\\" + name + L".ready").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(ready);
        const std::wstring done = path_ + L"\\" + name + L".done";
        for (DWORD waited = 0; waited < kShotTimeoutMs; waited += 100) {
            if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES)
                return true;
            Sleep(100);
        }
        return false;
    }

private:
    std::wstring path_;
};

TEST(DialogScreenshots, EachDialogWaitsForItsPhotograph)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    const RegistryScope registry({{L"NMX1",
                                   {StringValue(L"ServAddr", L"printer1@example.jp;printer2@example.jp"),
                                    StringValue(L"UserAddr", L"me@example.jp"),
                                    StringValue(L"SMTPAddr", L"smtp.example.jp"), DwordValue(L"Notification", 3),
                                    StringValue(L"NotifyAddr", L"me@example.jp"), DwordValue(L"PartSw", 1)}},
                                  {L"1.64", {DwordValue(L"347Check", 0)}}});
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    std::wstring monitorName = ResourceString(IDS_MONITOR_NAME);
    wchar_t port[] = L"NMX1";

    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->AddPort(nullptr, nullptr, monitorName.data()));
        });
        HWND dialog = thread.WaitForDialog(L"Add Velloprint Port");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"add_port"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        DialogThread thread([&] {
            return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port));
        });
        HWND dialog = thread.WaitForDialog(L"Velloprint Port Settings");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"port_config"));
        PostClick(dialog, IDCANCEL);
        EXPECT_TRUE(thread.WaitForEnd());
    }
    {
        const Display347CheckFn display347Check = FindDisplay347Check(monitor.Module());
        ASSERT_NE(display347Check, nullptr);
        DialogThread thread([&] { return static_cast<INT_PTR>(display347Check(nullptr)); });
        HWND dialog = thread.WaitForDialog(L"Velloprint Notice");
        ASSERT_NE(dialog, nullptr) << thread.Describe();
        EXPECT_TRUE(shots.Photograph(L"notice"));
        PostClick(dialog, IDOK);
        EXPECT_TRUE(thread.WaitForEnd());
    }
}

// The installed address book in normal mode over a few printers' mailboxes and two groups of them.
class AddressBookShots : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(shots_.Valid()) << "NMX_SCREENSHOT_DIR is not set";
        ASSERT_TRUE(data_.Write(L"personal.inf", PersonalFile({{"Osaka office", "print.osaka@example.jp",
                                                                 "3F;West wing;Color", "A3 colour"},
                                                                {"Head office", "print.hq@example.com", "1F;;",
                                                                 "Duplex, stapler"},
                                                                {"Anna Berg", "anna.berg@example.com", ";;", "Proofs"},
                                                                {"Lab plotter", "plotter@lab.example.org", ";;",
                                                                 "A0 roll"},
                                                                {"Warehouse", "labels@store.example.com", ";;",
                                                                 "Label printer"}})));
        ASSERT_TRUE(data_.Write(L"group.inf",
                                GroupFile({{"All offices", "Every office printer", {"Osaka office", "Head office"}},
                                           {"Design", "Proofs and plots", {"Anna Berg", "Lab plotter"}}})));
        book_ = std::make_unique<AddressBookRun>(L"", data_.Path(), &boxes_);
        ASSERT_TRUE(book_->Started()) << book_->Describe();
    }
    void TearDown() override
    {
        if (book_ != nullptr) {
            EXPECT_EQ(0, book_->Close());
        }
    }

    const ShotDirectory shots_;
    const SettingsScope settings_;
    const DataDirectory data_;
    MessageBoxCatcher boxes_;
    std::unique_ptr<AddressBookRun> book_; // started once the data files are written
};

// The main window with people and groups, one row selected.
TEST_F(AddressBookShots, MainWindow)
{
    book_->Select({1});
    EXPECT_TRUE(shots_.Photograph(L"pelmora_main"));
}

// The editors: a person, a group with a member selected, and the member chooser with two people
// picked.
TEST_F(AddressBookShots, Editors)
{
    book_->Select({0}); // "Osaka office"
    book_->PostCommand(CMD_EDIT);
    const HWND person = book_->WaitForEditor(Editor::Personal);
    ASSERT_NE(nullptr, person);
    EXPECT_TRUE(shots_.Photograph(L"pelmora_personal_editor"));
    PostClick(person, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(person));

    book_->Select({5}); // the group "All offices", after the five people
    book_->PostCommand(CMD_EDIT);
    const HWND group = book_->WaitForEditor(Editor::Group);
    ASSERT_NE(nullptr, group);
    SelectListItems(GetDlgItem(group, IDC_GROUP_MEMBERS), {1}, group);
    EXPECT_TRUE(shots_.Photograph(L"pelmora_group_editor"));
    PostClick(group, IDC_GROUP_CHOOSE);
    const HWND chooser = book_->WaitForEditor(Editor::MemberChooser);
    ASSERT_NE(nullptr, chooser);
    SelectListItems(GetDlgItem(chooser, IDC_CHOOSER_ENTRIES), {2, 3}, chooser);
    EXPECT_TRUE(shots_.Photograph(L"pelmora_member_chooser"));
    PostClick(chooser, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(chooser));
    PostClick(group, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(group));
}
} // namespace
