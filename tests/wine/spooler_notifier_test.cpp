// Through Wine's own spooler, which loads the monitor by its modern interface: nothing shows in
// the printing program. The job-start confirmation and the job's messages come up in the
// notifier, a process of its own started with the printing user's identity.
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
#include "printhost/wine_spooler_calls.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

using namespace mailtest;

namespace {
constexpr wchar_t kPrinter[] = L"Velloprint Notifier Test";
constexpr wchar_t kPort[] = L"NMX5";

class JobOwnerNotifier : public ::testing::Test {
protected:
    MessageBoxCatcher boxes_; // any box in the printing program fails the test
    RegistryScope registry_{{{L"1.64", {DwordValue(L"347Check", 1)}}}};
    std::wstring monitor_ = ResourceString(706);
    ScriptedSmtp smtp_;

    void MakePort(const std::string& host, DWORD showSw)
    {
        ASSERT_EQ(0, AddPortExThroughSpooler(kPort, monitor_.c_str()));
        for (const RegValue& value :
             {StringValue(L"ServAddr", L"printer@remote.test", false),
              StringValue(L"SMTPAddr", std::wstring(host.begin(), host.end()), false),
              StringValue(L"UserAddr", L"anna@sender.test", false), DwordValue(L"ShowSw", showSw),
              DwordValue(L"CheckMailSw", 0)})
            WriteRegValue(kPort, value);
        ASSERT_EQ(0, AddPostScriptPrinter(kPrinter, kPort));
    }

    // Prints on a thread of its own: the job's start waits for the confirmation.
    static std::future<int> PrintLetter()
    {
        return std::async(std::launch::async, [] { return PrintGdiLetter(kPrinter, L"Confirm me"); });
    }
};

TEST_F(JobOwnerNotifier, TheConfirmationComesUpInTheNotifierAndItsAnswerDecides)
{
    const struct {
        const char* name;
        std::function<void(HWND dialog)> answer;
        const char* recipient; // nullptr: nothing is mailed
    } cases[] = {
        {"OK mails to the recipients accepted for the job",
         [](HWND dialog) {
             SendMessageW(GetDlgItem(dialog, IDC_SERV_ADDR), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(L"other@remote.test"));
             PostClick(dialog, IDOK);
         },
         "RCPT TO:<other@remote.test>"},
        {"Cancel mails nothing", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, nullptr},
        {"a notifier that ends without an answer mails nothing",
         [](HWND dialog) {
             DWORD processId = 0;
             GetWindowThreadProcessId(dialog, &processId);
             const ScopedHandle notifier(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
             TerminateProcess(notifier.Get(), 1);
         },
         nullptr},
    };
    const std::string host = smtp_.Start();
    ASSERT_FALSE(host.empty()) << smtp_.lastError();
    MakePort(host, 1);
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

TEST_F(JobOwnerNotifier, AFailureIsToldInTheNotifierWithoutHoldingTheJob)
{
    MakePort("127.0.0.1", 0);
    WriteRegValue(kPort, DwordValue(L"SMTPPort", 1)); // nothing listens there: refused at once
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
