// Through Wine's own spooler, without the print host's stand-ins: a port added with AddPortExW
// and a printer on it with Wine's PostScript driver; a GDI job printed in this process reaches
// the installed monitor through localspl and arrives as mail. AddPortW, ConfigurePortW and
// DeletePortW reach the UI library, whose dialogs come up in this process and store through Xcv;
// a job's confirmation and messages come up in the notifier instead.
#include <winsock2.h>
#include <windows.h>

#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "tests/wine/mail_smtp_control.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/other_process_window.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"
#include "printhost/wine_spooler_calls.h"

#include <winsplp.h> // the UI library's table
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <string>
#include <tuple>

using namespace mailtest;

namespace {
constexpr wchar_t kPrinter[] = L"Velloprint Wine Spooler Test";
constexpr wchar_t kNotifierPrinter[] = L"Velloprint Notifier Test";
constexpr wchar_t kNotifierPort[] = L"NMX5";

class WineSpooler : public ::testing::Test {
protected:
    MessageBoxCatcher boxes_; // any box fails the test
    // The notice dialog has tests of its own: switched off here.
    RegistryScope registry_{{{L"1.64", {DwordValue(L"347Check", 1)}}}};
    std::wstring monitor_ = ResourceString(706);
    ScriptedSmtp smtp_;

    // The port's settings as the configuration would store them: no question, and the start
    // confirmed when showSw is 1.
    void PointAt(const std::wstring& port, const std::string& host, DWORD showSw = 0)
    {
        for (const RegValue& value :
             {StringValue(L"ServAddr", L"printer@remote.test", false),
              StringValue(L"SMTPAddr", std::wstring(host.begin(), host.end()), false),
              StringValue(L"UserAddr", L"anna@sender.test", false), DwordValue(L"ShowSw", showSw),
              DwordValue(L"CheckMailSw", 0)})
            WriteRegValue(port, value);
    }

    // Wine's spooler loads the monitor through its modern interface: nothing shows in this
    // program; the job's confirmation and messages come up in the notifier, a process of its own.
    void MakeNotifierPort(const std::string& host, DWORD showSw)
    {
        ASSERT_EQ(0, AddPortExThroughSpooler(kNotifierPort, monitor_.c_str()));
        PointAt(kNotifierPort, host, showSw);
        ASSERT_EQ(0, AddPostScriptPrinter(kNotifierPrinter, kNotifierPort));
    }

    // Prints on a thread of its own: the job's start waits for the confirmation.
    static std::future<int> PrintLetter()
    {
        return std::async(std::launch::async, [] { return PrintGdiLetter(kNotifierPrinter, L"Confirm me"); });
    }
};

TEST_F(WineSpooler, AGdiJobOnAPortAddedThroughTheSpoolerArrivesAsMail)
{
    const std::string host = smtp_.Start();
    ASSERT_FALSE(host.empty()) << smtp_.lastError();
    ASSERT_EQ(0, AddPortExThroughSpooler(L"NMX4", monitor_.c_str()));
    EXPECT_TRUE(SpoolerHasPort(L"NMX4"));
    PointAt(L"NMX4", host);
    ASSERT_EQ(0, AddPostScriptPrinter(kPrinter, L"NMX4"));

    // The spooler loads the monitor afresh for the job: the port was kept, not only listed.
    ASSERT_EQ(0, PrintGdiLetter(kPrinter, L"Hello from a Windows program"));
    const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, 1);
    ASSERT_EQ(1u, sessions.size());
    EXPECT_EQ("delivered", sessions[0].state);
    EXPECT_NE(std::string::npos, sessions[0].received.find("RCPT TO:<printer@remote.test>"));
    const ParsedMessage mail = smtp_.Message(host, 0);
    ASSERT_TRUE(mail.ok);
    ASSERT_EQ(2u, mail.parts.size());
    EXPECT_EQ("PrintJob.PRN", mail.parts[1].filename);
    // The attachment is the PostScript Wine's driver made: it starts "%!PS-Adobe".
    EXPECT_NE(std::string::npos, sessions[0].received.find("JSFQUy1BZG9i"));
    EXPECT_TRUE(SpoolFiles(L"*").empty()) << "no job file is left";
}
bool SpoolerLists(const std::wstring& port)
{
    const std::vector<std::wstring> ports = SpoolerPortNames();
    return std::find(ports.begin(), ports.end(), port) != ports.end();
}

TEST_F(WineSpooler, ThePortCallsReachTheUiLibraryWhichStoresThroughTheMonitor)
{
    DialogThread add([&] { return static_cast<INT_PTR>(AddPortW(nullptr, nullptr, &monitor_[0])); });
    HWND name = add.WaitForDialog(L"Add Velloprint Port");
    ASSERT_NE(nullptr, name) << add.Describe();
    TypeText(name, IDC_NEW_PORT_NAME, L"nmxMail");
    PostClick(name, IDOK);
    HWND settings = add.WaitForDialog(L"Velloprint Port Settings");
    ASSERT_NE(nullptr, settings) << add.Describe();
    SetControlText(settings, IDC_SERV_ADDR, L"printer@remote.test");
    PostClick(settings, IDOK);
    ASSERT_TRUE(add.WaitForEnd());
    EXPECT_EQ(TRUE, add.Result());
    EXPECT_EQ(L"printer@remote.test", RegText(L"NMXMail", L"ServAddr"));
    EXPECT_TRUE(SpoolerLists(L"NMXMail"));

    wchar_t port[] = L"NMXMail";
    DialogThread configure([&] { return static_cast<INT_PTR>(ConfigurePortW(nullptr, nullptr, port)); });
    DriveDialog(configure, L"Velloprint Port Settings", [](HWND dialog) {
        EXPECT_EQ(L"printer@remote.test", ControlText(dialog, IDC_SERV_ADDR)) << "read back through Xcv";
        SetControlText(dialog, IDC_SMTP_ADDR, L"mail.remote.test");
    }, IDOK);
    EXPECT_EQ(TRUE, configure.Result());
    EXPECT_EQ(L"mail.remote.test", RegText(L"NMXMail", L"SMTPAddr"));

    EXPECT_TRUE(DeletePortW(nullptr, nullptr, port));
    EXPECT_FALSE(RegKeyExists(L"NMXMail"));
    EXPECT_FALSE(SpoolerHasPort(L"NMXMail"));
    EXPECT_FALSE(SpoolerLists(L"NMXMail"));
}

// Typed, left alone, emptied, cancelled; through this computer as the server ("\\name\,XcvPort NMX4").
TEST_F(WineSpooler, ThePasswordTypedInTheUiLibrarysDialogIsStoredKeptAndCleared)
{
    ASSERT_EQ(0, AddPortExThroughSpooler(L"NMX4", monitor_.c_str()));
    WriteRegValue(L"NMX4", DwordValue(L"SMTPSecurity", 1));
    wchar_t server[MAX_COMPUTERNAME_LENGTH + 3] = L"\\\\", port[] = L"NMX4";
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(server + 2, &length));
    for (const auto& step : {std::tuple{L"pw\u00e91", IDOK, L"pw\u00e91"}, {L"", IDOK, L"pw\u00e91"},
                             {L"\b", IDOK, L"<missing>"}, {L"new", IDCANCEL, L"<missing>"}}) {
        DialogThread configure([&] { return static_cast<INT_PTR>(ConfigurePortW(server, nullptr, port) ? 0 : GetLastError()); });
        DriveDialog(configure, L"Velloprint Port Settings", [&](HWND dialog) {
            EXPECT_EQ(1, SelectedComboItem(dialog, IDC_SMTP_SECURITY)) << "read back through Xcv";
            TypeText(dialog, IDC_SMTP_PASSWORD, std::get<0>(step));
        }, std::get<1>(step));
        EXPECT_EQ(std::get<1>(step) == IDOK ? 0 : ERROR_CANCELLED, configure.Result());
        EXPECT_EQ(std::get<2>(step), RegProtectedText(L"NMX4", L"SMTPPassword"));
    }
}

TEST_F(WineSpooler, AddPortUiHandsOutTheNameOfAPortItAddedOnly)
{
    const ScopedLibrary library(LoadLibraryW(L"NMX_MONUI.dll")); // Wine's AddPortW passes no place for it
    const auto initialize = reinterpret_cast<PMONITORUI(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "InitializePrintMonitorUI")));
    ASSERT_NE(nullptr, initialize);
    for (const auto& [button, added] : {std::pair{IDCANCEL, L"<null>"}, {IDOK, L"NMXNamed"}}) {
        PWSTR name = const_cast<PWSTR>(L"<unwritten>");
        DialogThread add([&] { // 0 for success, else the error
            return static_cast<INT_PTR>(initialize()->pfnAddPortUI(nullptr, nullptr, monitor_.c_str(), &name) ? 0 : GetLastError());
        });
        HWND dialog = add.WaitForDialog(L"Add Velloprint Port");
        ASSERT_NE(nullptr, dialog) << add.Describe();
        TypeText(dialog, IDC_NEW_PORT_NAME, L"nmxNamed");
        PostClick(dialog, IDOK);
        DriveDialog(add, L"Velloprint Port Settings", [](HWND) {}, button); // cancelled: the port goes again
        EXPECT_EQ(button == IDOK ? 0 : ERROR_CANCELLED, add.Result());
        EXPECT_EQ(added, std::wstring(name != nullptr ? name : L"<null>"));
        EXPECT_EQ(nullptr, name != nullptr ? GlobalFree(name) : nullptr) << "the caller frees it with GlobalFree";
    }
}

TEST_F(WineSpooler, TheConfirmationComesUpInTheNotifierAndItsAnswerDecides)
{
    const struct {
        const char* name;
        std::function<void(HWND dialog)> answer;
        const char* recipient; // nullptr: nothing is mailed
    } cases[] = {
        {"OK mails to the recipients accepted for the job",
         [](HWND dialog) {
             SetControlText(dialog, IDC_SERV_ADDR, L"other@remote.test");
             PostClick(dialog, IDOK);
         },
         "RCPT TO:<other@remote.test>"},
        {"Cancel mails nothing", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, nullptr},
    };
    const std::string host = smtp_.Start();
    ASSERT_FALSE(host.empty()) << smtp_.lastError();
    MakeNotifierPort(host, 1);
    for (const auto& c : cases) {
        const size_t mailsBefore = smtp_.Sessions(host).size();
        std::future<int> printed = PrintLetter();
        const OtherProcessWindow confirmation = WaitForOtherProcessWindow(L"Velloprint Port Settings");
        ASSERT_NE(nullptr, confirmation.window) << c.name;
        EXPECT_EQ(L"nmx_notify.exe", confirmation.program) << c.name;
        EXPECT_EQ(L"printer@remote.test", ControlText(confirmation.window, IDC_SERV_ADDR)) << c.name;
        EXPECT_FALSE(IsEnabled(confirmation.window, IDC_SMTP_ADDR)) << "the stored server stays: " << c.name;
        c.answer(confirmation.window);
        ASSERT_EQ(std::future_status::ready, printed.wait_for(std::chrono::seconds(60))) << c.name;
        if (c.recipient == nullptr) {
            EXPECT_EQ(mailsBefore, smtp_.Sessions(host).size()) << c.name;
            continue;
        }
        const std::vector<SmtpSessionRecord> sessions = smtp_.Wait(host, static_cast<int>(mailsBefore) + 1);
        ASSERT_EQ(mailsBefore + 1, sessions.size()) << c.name;
        EXPECT_NE(std::string::npos, sessions.back().received.find(c.recipient)) << c.name;
    }
}

TEST_F(WineSpooler, AFailureIsToldInTheNotifierWithoutHoldingTheJob)
{
    MakeNotifierPort("127.0.0.1", 0);
    WriteRegValue(kNotifierPort, DwordValue(L"SMTPPort", 1)); // nothing listens there: refused at once
    ASSERT_EQ(0, PrintLetter().get()) << "the job ended while its message was still open";
    const std::wstring caption = ResourceString(IDS_MESSAGE_CAPTION);
    const OtherProcessWindow box = WaitForOtherProcessWindow(caption);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"nmx_notify.exe", box.program);
    MessageBoxCatcher notifierBoxes;
    notifierBoxes.Expect(caption, ResourceString(IDS_CONNECT_FAILED));
    notifierBoxes.WatchProcess(box.processId);
    EXPECT_TRUE(notifierBoxes.WaitForBoxes(1)) << notifierBoxes.Describe();
}
} // namespace
