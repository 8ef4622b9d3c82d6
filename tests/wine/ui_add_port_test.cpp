// The add-port dialog, driven through the monitor's AddPort entry point.
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
constexpr wchar_t kAddPortCaption[] = L"Add Velloprint Port";
constexpr wchar_t kPortConfigCaption[] = L"Velloprint Port Settings";

class AddPortDialog : public ::testing::Test {
protected:
    DialogThread AddPort()
    {
        return DialogThread([this] {
            return static_cast<INT_PTR>(monitor_.Functions()->AddPort(nullptr, nullptr, monitorName_.data()));
        });
    }

    // OK on the name in the field: message 501 with the name, and the dialog stays as it was.
    void ExpectRefused(DialogThread& thread, HWND dialog, const std::wstring& name)
    {
        boxes_.Expect(ResourceString(IDS_PORT_NAME_CAPTION), FormattedResourceString(IDS_BAD_PORT_NAME, name));
        PostClick(dialog, IDOK);
        ASSERT_TRUE(boxes_.WaitForBoxes(++boxesSeen_)) << "no message for a bad name";
        EXPECT_EQ(MessageBoxIcon(boxes_.Seen().back().style), static_cast<UINT>(MB_ICONERROR));
        ASSERT_TRUE(thread.Flush());
        EXPECT_EQ(thread.FindDialog(kAddPortCaption), dialog);
        EXPECT_EQ(ControlText(dialog, IDC_NEW_PORT_NAME), name);
    }

    // Accepts the name and returns the new port's configuration dialog.
    HWND ConfigurationOf(DialogThread& thread, const std::wstring& name)
    {
        HWND dialog = thread.WaitForDialog(kAddPortCaption);
        EXPECT_NE(dialog, nullptr) << thread.Describe();
        TypeText(dialog, IDC_NEW_PORT_NAME, name);
        PostClick(dialog, IDOK);
        return thread.WaitForDialog(kPortConfigCaption);
    }

    MessageBoxCatcher boxes_;
    size_t boxesSeen_ = 0;
    // The notice dialog has tests of its own: switched off here.
    RegistryScope registry_{{{L"NMX5", {}}, {L"1.64", {DwordValue(L"347Check", 1)}}}};
    LoadedMonitor monitor_;
    std::wstring monitorName_ = ResourceString(IDS_MONITOR_NAME);
};

TEST_F(AddPortDialog, ProposesNmx1AndCancelAddsNothing)
{
    DialogThread thread = AddPort();
    DriveDialog(thread, kAddPortCaption, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_NEW_PORT_NAME), L"NMX1");
    });
    EXPECT_EQ(thread.Result(), TRUE);
    EXPECT_FALSE(RegKeyExists(L"NMX1"));
}

TEST_F(AddPortDialog, AcceptedNamesBecomePortsWithAnUpperCasePrefix)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* stored;
    } cases[] = {{L"NMX", L"NMX"}, {L"nmx7", L"NMX7"}, {L"NMX 2", L"NMX 2"}, {L"nmxOffice", L"NMXOffice"}};
    for (const auto& c : cases) {
        DialogThread thread = AddPort();
        HWND config = ConfigurationOf(thread, c.typed);
        ASSERT_NE(config, nullptr) << "name " << Utf8(c.typed) << " was refused";
        PostClick(config, IDOK);
        ASSERT_TRUE(thread.WaitForEnd());
        EXPECT_EQ(thread.Result(), TRUE);
        EXPECT_TRUE(RegKeyExists(c.stored)) << Utf8(c.stored);
    }
}

TEST_F(AddPortDialog, RefusedNamesGiveMessage501AndKeepTheDialogWithTheTypedText)
{
    const std::wstring refused[] = {L"",       L"XNMX1",  L"NM1",    L"NMX(2)", L"NMX;2",
                                    L"NMX'2",  L"NMX\\2", L"NMX/2",  L"NMX*2",  L"NMX?2",
                                    L"NMX\"2", L"NMX<2",  L"NMX>2",  L"NMX|2",  L"NMX\x01",
                                    L"NMX\r\n2"};
    DialogThread thread = AddPort();
    DriveDialog(thread, kAddPortCaption, [&](HWND dialog) {
        for (const std::wstring& name : refused) {
            SCOPED_TRACE(Utf8(name));
            SetControlText(dialog, IDC_NEW_PORT_NAME, name);
            ExpectRefused(thread, dialog, name);
        }
    });
    EXPECT_TRUE(RegKeyExists(L"NMX5"));
}

TEST_F(AddPortDialog, NoMoreThan31CharactersCanBeTyped)
{
    DialogThread thread = AddPort();
    DriveDialog(thread, kAddPortCaption, [&](HWND dialog) {
        TypeText(dialog, IDC_NEW_PORT_NAME, L"NMX" + std::wstring(40, L'a'));
        EXPECT_EQ(ControlText(dialog, IDC_NEW_PORT_NAME), L"NMX" + std::wstring(28, L'a'));
    });
}

TEST_F(AddPortDialog, ALongerNameSetByAnotherProgramIsRefusedNotCut)
{
    DialogThread thread = AddPort();
    DriveDialog(thread, kAddPortCaption, [&](HWND dialog) {
        const std::wstring name = L"NMX" + std::wstring(29, L'b');
        SetControlText(dialog, IDC_NEW_PORT_NAME, name);
        ExpectRefused(thread, dialog, name);
    });
}

TEST_F(AddPortDialog, ExistingNameIsRefusedWith502AndTheDialogReturnsWithNmx1)
{
    DialogThread thread = AddPort();
    HWND dialog = thread.WaitForDialog(kAddPortCaption);
    ASSERT_NE(dialog, nullptr) << thread.Describe();
    TypeText(dialog, IDC_NEW_PORT_NAME, L"nmx5");
    boxes_.Expect(ResourceString(IDS_PORT_NAME_CAPTION), FormattedResourceString(IDS_PORT_EXISTS, L"nmx5"));
    PostClick(dialog, IDOK);
    ASSERT_TRUE(boxes_.WaitForBoxes(1));
    // The dialog opens anew.
    DriveDialog(thread, kAddPortCaption,
                [](HWND again) { EXPECT_EQ(ControlText(again, IDC_NEW_PORT_NAME), L"NMX1"); });
}

// Records the keys that reach the name field.
WNDPROC g_editProc = nullptr;
std::vector<WPARAM> g_keysAtEdit;

LRESULT CALLBACK RecordKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        g_keysAtEdit.push_back(wParam);
    return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

TEST_F(AddPortDialog, F1IsSwallowedAndPostsTheHelpMessageToTheDialog)
{
    DialogThread thread = AddPort();
    DriveDialog(thread, kAddPortCaption, [&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_NEW_PORT_NAME);
        g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordKeys)));

        PostKey(edit, VK_F1);
        PostKey(edit, VK_END); // reaches the field: the recording works
        ASSERT_TRUE(thread.Flush());
        ASSERT_TRUE(thread.Flush()); // the help message was posted when F1 was taken

        EXPECT_EQ(g_keysAtEdit, std::vector<WPARAM>{VK_END});
        const UINT helpMessage = RegisterWindowMessageW(L"Print Manager Help Message");
        int helpMessages = 0;
        for (const RetrievedMessage& m : thread.Retrieved()) {
            if (m.message == helpMessage) {
                ++helpMessages;
                EXPECT_EQ(m.window, dialog);
                EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(edit));
            }
        }
        EXPECT_EQ(helpMessages, 1);
        EXPECT_EQ(thread.FindDialog(kAddPortCaption), dialog);

    });
}

TEST_F(AddPortDialog, CancelledConfigurationLeavesNoPort)
{
    DialogThread thread = AddPort();
    HWND config = ConfigurationOf(thread, L"NMX9");
    ASSERT_NE(config, nullptr);
    PostClick(config, IDCANCEL);
    ASSERT_TRUE(thread.WaitForEnd());
    EXPECT_EQ(thread.Result(), TRUE);
    EXPECT_FALSE(RegKeyExists(L"NMX9"));
}

TEST_F(AddPortDialog, APortDeletedWhileItsConfigurationIsOpenStoresNothingOnOk)
{
    DialogThread thread = AddPort();
    HWND config = ConfigurationOf(thread, L"NMX8");
    ASSERT_NE(config, nullptr);
    std::wstring name = L"NMX8";
    EXPECT_TRUE(monitor_.Functions()->DeletePort(nullptr, nullptr, name.data()));
    PostClick(config, IDOK);
    ASSERT_TRUE(thread.WaitForEnd());
    EXPECT_EQ(thread.Result(), TRUE);
    EXPECT_FALSE(RegKeyExists(L"NMX8")) << "the deleted port would come back at the next start";
}
} // namespace
