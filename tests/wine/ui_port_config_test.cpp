// The port configuration dialog, driven through the monitor's ConfigurePort entry point.
#include "monitor/core/port_settings.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "printhost/print_job.h"
#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

namespace {
constexpr wchar_t kPortConfigCaption[] = L"Velloprint Port Settings";
constexpr wchar_t kPort[] = L"NMX1";

const RegKeySpec kStoredPort = {kPort,
                                {StringValue(L"ServAddr", L"a@x.jp;b@y.jp", false),
                                 StringValue(L"UserAddr", L"me@here.jp", false),
                                 StringValue(L"SMTPAddr", L"smtp.here.jp", false),
                                 StringValue(L"NotifyAddr", L"admin@here.jp", false),
                                 DwordValue(L"Notification", 2), DwordValue(L"ShowSw", 0),
                                 DwordValue(L"CheckMailSw", 1), DwordValue(L"PartLimit", 2048),
                                 DwordValue(L"PartSw", 1)}};

class PortConfigDialog : public ::testing::Test {
protected:
    DialogThread Configure()
    {
        return DialogThread([this] {
            return static_cast<INT_PTR>(monitor_.Functions()->ConfigurePort(nullptr, nullptr, port_));
        });
    }

    DialogThread PrintJobOnPort(PrintOutcome* outcome)
    {
        return DialogThread([this, outcome] {
            *outcome = PrintDeletedJob(*monitor_.Functions(), kPort);
            return INT_PTR(0);
        });
    }

    // Opens the dialog, lets the test fill it, presses OK and waits for the dialog to close.
    void ConfigureAndAccept(const std::function<void(HWND dialog)>& edit)
    {
        DialogThread thread = Configure();
        DriveDialog(thread, kPortConfigCaption, edit, IDOK);
    }

    MessageBoxCatcher boxes_;
    RegistryScope registry_{{kStoredPort}};
    LoadedMonitor monitor_;
    wchar_t port_[5] = L"NMX1";
};

TEST_F(PortConfigDialog, ShowsTheStoredSettings)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), L"a@x.jp;b@y.jp");
        EXPECT_EQ(ControlText(dialog, IDC_USER_ADDR), L"me@here.jp");
        EXPECT_EQ(ControlText(dialog, IDC_SMTP_ADDR), L"smtp.here.jp");
        EXPECT_EQ(ControlText(dialog, IDC_NOTIFY_ADDR), L"admin@here.jp");
        const std::vector<std::wstring> modes = {ResourceString(IDS_NOTIFY_NONE), ResourceString(IDS_NOTIFY_COMPLETION),
                                                 ResourceString(IDS_NOTIFY_FAILURE), ResourceString(IDS_NOTIFY_ALWAYS)};
        EXPECT_EQ(ComboItems(dialog, IDC_NOTIFICATION), modes);
        EXPECT_EQ(SelectedComboItem(dialog, IDC_NOTIFICATION), 2);
        EXPECT_TRUE(IsEnabled(dialog, IDC_NOTIFY_ADDR));
        EXPECT_FALSE(IsChecked(dialog, IDC_SHOW_SW));
        EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_MAIL_SW));
        EXPECT_TRUE(IsChecked(dialog, IDC_PART_SW));
        EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"2048");
        EXPECT_TRUE(IsEnabled(dialog, IDC_PART_LIMIT));
        EXPECT_EQ(ControlText(dialog, IDC_VERSION_TEXT), L"1.64");
        EXPECT_EQ(ControlText(dialog, IDC_DATE_TEXT), L"2005-02-21");
        EXPECT_NE(ControlText(dialog, IDC_COPYRIGHT_TEXT).find(L'\r'), std::wstring::npos) << "two lines";
    });
}

TEST_F(PortConfigDialog, DefaultsShowForAPortWithoutValues)
{
    DeleteRegKey(kPort);
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), L"");
        EXPECT_EQ(SelectedComboItem(dialog, IDC_NOTIFICATION), 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_NOTIFY_ADDR));
        EXPECT_FALSE(IsEnabled(dialog, IDC_NOTIFY_ADDR_LABEL));
        EXPECT_TRUE(IsChecked(dialog, IDC_SHOW_SW));
        EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_MAIL_SW));
        EXPECT_FALSE(IsChecked(dialog, IDC_PART_SW));
        EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"1024");
        for (int id : {IDC_PART_LIMIT, IDC_PART_LIMIT_LABEL, IDC_PART_LIMIT_UNIT})
            EXPECT_FALSE(IsEnabled(dialog, id)) << id;
    });
}

TEST_F(PortConfigDialog, OkStoresEveryField)
{
    ConfigureAndAccept([](HWND dialog) {
        SetControlText(dialog, IDC_USER_ADDR, L"other@here.jp");
        SetControlText(dialog, IDC_SMTP_ADDR, L"mail.here.jp");
        SetControlText(dialog, IDC_NOTIFY_ADDR, L"boss@here.jp");
        SelectComboItem(dialog, IDC_NOTIFICATION, 3);
        Click(dialog, IDC_SHOW_SW);
        Click(dialog, IDC_CHECK_MAIL_SW);
        TypeText(dialog, IDC_PART_LIMIT, L"512");
    });
    EXPECT_EQ(RegText(kPort, L"ServAddr"), L"a@x.jp;b@y.jp");
    EXPECT_EQ(RegText(kPort, L"UserAddr"), L"other@here.jp");
    EXPECT_EQ(RegText(kPort, L"SMTPAddr"), L"mail.here.jp");
    EXPECT_EQ(RegText(kPort, L"NotifyAddr"), L"boss@here.jp");
    EXPECT_EQ(RegNumber(kPort, L"Notification"), 3u);
    EXPECT_EQ(RegNumber(kPort, L"ShowSw"), 1u);
    EXPECT_EQ(RegNumber(kPort, L"CheckMailSw"), 0u);
    EXPECT_EQ(RegNumber(kPort, L"PartLimit"), 512u);
    EXPECT_EQ(RegNumber(kPort, L"PartSw"), 1u);
}

TEST_F(PortConfigDialog, TypedSeparatorsBecomeSemicolonsAndTrailingLineBreaksGo)
{
    ConfigureAndAccept([](HWND dialog) {
        SetControlText(dialog, IDC_SERV_ADDR, L"a@x.jp, b@y.jp,c@z.jp d@w.jp\r\n\r\n");
    });
    EXPECT_EQ(RegText(kPort, L"ServAddr"), L"a@x.jp;;b@y.jp;c@z.jp;d@w.jp");
}

TEST_F(PortConfigDialog, FieldsHoldWhatTheirLimitsAllowAndOkStoresItWhole)
{
    const std::wstring address128 = std::wstring(118, L'u') + L"@here.jp.x";
    const std::wstring list13000 = std::wstring(12993, L'p') + L"@x.jp;q";
    ConfigureAndAccept([&](HWND dialog) {
        for (int id : {IDC_USER_ADDR, IDC_SMTP_ADDR, IDC_NOTIFY_ADDR}) {
            TypeText(dialog, id, address128 + L"zzz");
            EXPECT_EQ(ControlText(dialog, id), address128) << id;
        }
        TypeText(dialog, IDC_PART_LIMIT, L"123456");
        EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"12345");
        TypeText(dialog, IDC_PART_LIMIT, L"2x0");
        EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"20") << "only digits can be typed";
        SetControlText(dialog, IDC_SERV_ADDR, list13000.substr(0, 12999));
        TypeText(dialog, IDC_SERV_ADDR, L"qrst", Typing::Append);
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR).size(), 13000u);
    });
    EXPECT_EQ(RegText(kPort, L"UserAddr"), address128);
    EXPECT_EQ(RegText(kPort, L"SMTPAddr"), address128);
    EXPECT_EQ(RegText(kPort, L"NotifyAddr"), address128);
    EXPECT_EQ(RegText(kPort, L"ServAddr"), list13000);
    EXPECT_EQ(RegNumber(kPort, L"PartLimit"), 20u);
}

TEST_F(PortConfigDialog, PartSizeOutsideTheRangeIsRefusedWith705AndReset)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        size_t boxesSeen = 0;
        for (const wchar_t* text : {L"15", L"16385", L"0", L"99999", L"", L"abc"}) {
            SCOPED_TRACE(Utf8(text));
            SetControlText(dialog, IDC_PART_LIMIT, text);
            boxes_.Expect(ResourceString(IDS_MESSAGE_CAPTION), ResourceString(IDS_PART_SIZE_RANGE));
            PostClick(dialog, IDOK);
            ASSERT_TRUE(boxes_.WaitForBoxes(++boxesSeen));
            EXPECT_EQ(MessageBoxIcon(boxes_.Seen().back().style), static_cast<UINT>(MB_ICONERROR));
            ASSERT_TRUE(thread.Flush());
            EXPECT_EQ(thread.FindDialog(kPortConfigCaption), dialog);
            EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"1024");
        }
    });
    EXPECT_EQ(RegNumber(kPort, L"PartLimit"), 2048u) << "nothing stored";
}

TEST_F(PortConfigDialog, PartSizesAtTheLimitsAreAccepted)
{
    for (const auto& [text, stored] : {std::pair{L"16", 16u}, std::pair{L"16384", 16384u}}) {
        ConfigureAndAccept([text = text](HWND dialog) { SetControlText(dialog, IDC_PART_LIMIT, text); });
        EXPECT_EQ(RegNumber(kPort, L"PartLimit"), stored);
    }
}

TEST_F(PortConfigDialog, AnyPartSizeIsAcceptedWhileJobsAreSentWhole)
{
    for (const auto& [text, stored] : {std::pair{L"15", 15u}, std::pair{L"99999", 99999u}, std::pair{L"abc", 0u}}) {
        ConfigureAndAccept([text = text](HWND dialog) {
            if (IsChecked(dialog, IDC_PART_SW))
                Click(dialog, IDC_PART_SW);
            SetControlText(dialog, IDC_PART_LIMIT, text);
        });
        EXPECT_EQ(RegNumber(kPort, L"PartSw"), 0u);
        EXPECT_EQ(RegNumber(kPort, L"PartLimit"), stored);
    }
}

TEST_F(PortConfigDialog, PartSwitchEnablesThePartSizeAndUncheckingItTurnsTheQuestionOn)
{
    WriteRegValue(kPort, DwordValue(L"CheckMailSw", 0));
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        ASSERT_FALSE(IsChecked(dialog, IDC_CHECK_MAIL_SW));

        Click(dialog, IDC_PART_SW); // off
        for (int id : {IDC_PART_LIMIT, IDC_PART_LIMIT_LABEL, IDC_PART_LIMIT_UNIT})
            EXPECT_FALSE(IsEnabled(dialog, id)) << id;
        EXPECT_TRUE(IsChecked(dialog, IDC_CHECK_MAIL_SW));

        Click(dialog, IDC_CHECK_MAIL_SW); // the user turns the question off again
        Click(dialog, IDC_PART_SW);       // on
        for (int id : {IDC_PART_LIMIT, IDC_PART_LIMIT_LABEL, IDC_PART_LIMIT_UNIT})
            EXPECT_TRUE(IsEnabled(dialog, id)) << id;
        EXPECT_FALSE(IsChecked(dialog, IDC_CHECK_MAIL_SW));
    });
}

TEST_F(PortConfigDialog, NotificationNoneDisablesTheNotifyAddress)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        for (int mode : {0, 1, 0, 3}) {
            SelectComboItem(dialog, IDC_NOTIFICATION, mode);
            EXPECT_EQ(IsEnabled(dialog, IDC_NOTIFY_ADDR), mode != 0) << mode;
            EXPECT_EQ(IsEnabled(dialog, IDC_NOTIFY_ADDR_LABEL), mode != 0) << mode;
        }
    });
}

TEST_F(PortConfigDialog, StoredModeOutsideTheFourShowsAndStoresAsNone)
{
    WriteRegValue(kPort, DwordValue(L"Notification", 7));
    ConfigureAndAccept([](HWND dialog) {
        EXPECT_EQ(SelectedComboItem(dialog, IDC_NOTIFICATION), 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_NOTIFY_ADDR));
    });
    EXPECT_EQ(RegNumber(kPort, L"Notification"), 0u);
}

TEST_F(PortConfigDialog, ReloadDiscardsTheEdits)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        SetControlText(dialog, IDC_SERV_ADDR, L"changed@x.jp");
        SetControlText(dialog, IDC_USER_ADDR, L"changed@here.jp");
        SelectComboItem(dialog, IDC_NOTIFICATION, 0);
        Click(dialog, IDC_PART_SW);
        Click(dialog, IDC_RELOAD);
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), L"a@x.jp;b@y.jp");
        EXPECT_EQ(ControlText(dialog, IDC_USER_ADDR), L"me@here.jp");
        EXPECT_EQ(SelectedComboItem(dialog, IDC_NOTIFICATION), 2);
        EXPECT_TRUE(IsEnabled(dialog, IDC_NOTIFY_ADDR));
        EXPECT_EQ(ComboItems(dialog, IDC_NOTIFICATION).size(), 4u) << "the list is filled anew, not appended to";
        EXPECT_TRUE(IsChecked(dialog, IDC_PART_SW));
        EXPECT_TRUE(IsEnabled(dialog, IDC_PART_LIMIT));
    });
}

TEST_F(PortConfigDialog, CancelStoresNothing)
{
    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        SetControlText(dialog, IDC_SERV_ADDR, L"changed@x.jp");
        Click(dialog, IDC_PART_SW);
    });
    EXPECT_EQ(RegText(kPort, L"ServAddr"), L"a@x.jp;b@y.jp");
    EXPECT_EQ(RegNumber(kPort, L"PartSw"), 1u);
}

TEST_F(PortConfigDialog, OkAtJobStartServesTheJobOnlyAndStoresNothing)
{
    WriteRegValue(kPort, DwordValue(L"ShowSw", 1));
    PrintOutcome outcome;
    {
        DialogThread job = PrintJobOnPort(&outcome);
        DriveDialog(job, kPortConfigCaption, [](HWND dialog) {
            EXPECT_TRUE(IsChecked(dialog, IDC_SHOW_SW));
            SetControlText(dialog, IDC_SERV_ADDR, L"this.job@x.jp");
            SetControlText(dialog, IDC_PART_LIMIT, L"512");
            Click(dialog, IDC_SHOW_SW);
        }, IDOK);
    }
    EXPECT_EQ(Utf8(outcome.failedStep), "");
    EXPECT_EQ(RegText(kPort, L"ServAddr"), L"a@x.jp;b@y.jp");
    EXPECT_EQ(RegNumber(kPort, L"PartLimit"), 2048u);
    EXPECT_EQ(RegNumber(kPort, L"ShowSw"), 1u);

    DialogThread thread = Configure();
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_SERV_ADDR), L"a@x.jp;b@y.jp");
        EXPECT_EQ(ControlText(dialog, IDC_PART_LIMIT), L"2048");
    });
}

TEST_F(PortConfigDialog, NothingIsShownAtJobStartOnAPortWithShowSwZero)
{
    PrintOutcome outcome;
    DialogThread job = PrintJobOnPort(&outcome);
    ASSERT_TRUE(job.WaitForEnd()) << "the job waits for a dialog";
    EXPECT_EQ(Utf8(outcome.failedStep), "");
    for (DWORD command : spooler::JobCommands(outcome.jobId))
        EXPECT_NE(command, static_cast<DWORD>(JOB_CONTROL_CANCEL)) << "the job was dropped";
}

TEST_F(PortConfigDialog, AJobStartedWhileTheDialogIsOpenWaitsForItsOk)
{
    // The spooler holds a handle to the port from before the dialog opened.
    HANDLE port = nullptr;
    ASSERT_TRUE(monitor_.Functions()->OpenPort(port_, &port));
    wchar_t printer[] = L"Velloprint Test Printer";
    wchar_t document[] = L"Job start";
    DOC_INFO_1W docInfo = {document, nullptr, nullptr};
    const DWORD jobId = spooler::CreateJob(printer, document);
    spooler::SetJobStatusBits(jobId, JOB_STATUS_DELETING); // its end mails nothing

    DialogThread thread = Configure();
    HWND dialog = thread.WaitForDialog(kPortConfigCaption);
    ASSERT_NE(dialog, nullptr);
    std::future<BOOL> started = std::async(std::launch::async, [&] {
        return monitor_.Functions()->StartDocPort(port, printer, jobId, 1, reinterpret_cast<LPBYTE>(&docInfo));
    });
    EXPECT_EQ(std::future_status::timeout, started.wait_for(std::chrono::milliseconds(500)))
        << "the job started under the open dialog";
    SetControlText(dialog, IDC_SMTP_ADDR, L"mail.changed.jp");
    PostClick(dialog, IDOK);
    ASSERT_TRUE(thread.WaitForEnd());
    EXPECT_EQ(RegText(kPort, L"SMTPAddr"), L"mail.changed.jp") << "no job was open when OK was pressed";

    EXPECT_TRUE(started.get());
    EXPECT_TRUE(monitor_.Functions()->EndDocPort(port));
    EXPECT_TRUE(monitor_.Functions()->ClosePort(port));
}

TEST_F(PortConfigDialog, CancelAtJobStartDropsTheJob)
{
    WriteRegValue(kPort, DwordValue(L"ShowSw", 1));
    PrintOutcome outcome;
    DialogThread job = PrintJobOnPort(&outcome);
    DriveDialog(job, kPortConfigCaption, [](HWND) {});
    const std::vector<DWORD> commands = spooler::JobCommands(outcome.jobId);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), static_cast<DWORD>(JOB_CONTROL_CANCEL));
}
// Replaces the registry root by a volatile key for one test: no port key can be created under it.
class VolatileRegistryRoot {
public:
    VolatileRegistryRoot()
    {
        DeleteRegKey(L"");
        HKEY root = nullptr;
        created_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRegistryRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                   nullptr, &root, nullptr) == ERROR_SUCCESS;
        if (created_)
            RegCloseKey(root);
    }
    // Before the registry scope puts the real root back.
    ~VolatileRegistryRoot() { DeleteRegKey(L""); }
    bool created() const { return created_; }

private:
    bool created_ = false;
};

TEST(PortConfigSave, SettingsThatCannotBeStoredAreToldAndTheDialogKeepsWhatWasTyped)
{
    MessageBoxCatcher boxes;
    RegistryScope registry;
    VolatileRegistryRoot volatileRoot;
    ASSERT_TRUE(volatileRoot.created());
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    wchar_t port[] = L"NMX5";
    PORT_INFO_1W info = {port};
    std::wstring monitorName = ResourceString(IDS_MONITOR_NAME);
    ASSERT_TRUE(monitor.Functions()->AddPortEx(nullptr, 1, reinterpret_cast<LPBYTE>(&info), monitorName.data()));

    DialogThread thread([&] { return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, port)); });
    DriveDialog(thread, kPortConfigCaption, [&](HWND dialog) {
        SetControlText(dialog, IDC_SMTP_ADDR, L"mail.typed.jp");
        boxes.Expect(ResourceString(IDS_MESSAGE_CAPTION), ResourceString(IDS_SETTINGS_NOT_SAVED));
        PostClick(dialog, IDOK);
        ASSERT_TRUE(boxes.WaitForBoxes(1)) << Utf8(boxes.Describe());
        EXPECT_EQ(MessageBoxIcon(boxes.Seen().back().style), static_cast<UINT>(MB_ICONERROR));
        ASSERT_TRUE(thread.Flush());
        EXPECT_EQ(thread.FindDialog(kPortConfigCaption), dialog) << "the dialog stays open";
        EXPECT_EQ(ControlText(dialog, IDC_SMTP_ADDR), L"mail.typed.jp");
    });
}
} // namespace

namespace {

// The password is typed once; afterwards the field shows that one is stored, never what it is,
// and keeps it while nothing is typed there.
TEST_F(PortConfigDialog, SecureSettingsAreStoredAndTheStoredPasswordIsKeptUnlessRetyped)
{
    ConfigureAndAccept([](HWND dialog) {
        EXPECT_EQ(0, SelectedComboItem(dialog, IDC_SMTP_SECURITY));
        EXPECT_EQ(ResourceString(IDS_NO_PASSWORD), ControlText(dialog, IDC_PASSWORD_STATE));
        SelectComboItem(dialog, IDC_SMTP_SECURITY, 1);
        TypeText(dialog, IDC_SMTP_PORT, L"2587");
        TypeText(dialog, IDC_SMTP_USER, L"anna");
        TypeText(dialog, IDC_SMTP_PASSWORD, L"pw\u00e91");
    });
    EXPECT_EQ(1u, RegNumber(kPort, L"SMTPSecurity"));
    EXPECT_EQ(2587u, RegNumber(kPort, L"SMTPPort"));
    EXPECT_EQ(L"anna", RegText(kPort, L"SMTPUser"));
    EXPECT_EQ(L"pw\u00e91", RegProtectedText(kPort, L"SMTPPassword"));
    ConfigureAndAccept([](HWND dialog) {
        EXPECT_EQ(1, SelectedComboItem(dialog, IDC_SMTP_SECURITY));
        EXPECT_EQ(ResourceString(IDS_PASSWORD_STORED), ControlText(dialog, IDC_PASSWORD_STATE));
        EXPECT_EQ(std::wstring::npos, ControlText(dialog, IDC_SMTP_PASSWORD).find(L"pw"));
        TypeText(dialog, IDC_SMTP_USER, L"bert");
        SetControlText(dialog, IDC_SMTP_PORT, L"");
    });
    EXPECT_EQ(L"bert", RegText(kPort, L"SMTPUser"));
    EXPECT_EQ(L"pw\u00e91", RegProtectedText(kPort, L"SMTPPassword"));
    RegValue port;
    EXPECT_FALSE(ReadRegValue(kPort, L"SMTPPort", &port)) << "empty: the mode's own port";
}

} // namespace
