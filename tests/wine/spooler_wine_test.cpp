// Through Wine's own spooler, without the print host's stand-ins: a port added with AddPortExW
// and a printer on it with Wine's PostScript driver; a GDI job printed in this process reaches
// the installed monitor through localspl and arrives as mail.
#include <winsock2.h>
#include <windows.h>

#include "tests/wine/mail_smtp_control.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"
#include "printhost/wine_spooler_calls.h"

#include <gtest/gtest.h>

#include <string>

using namespace mailtest;

namespace {
constexpr wchar_t kPrinter[] = L"Velloprint Wine Spooler Test";

class WineSpooler : public ::testing::Test {
protected:
    MessageBoxCatcher boxes_; // any box fails the test
    RegistryScope registry_;
    ScriptedSmtp smtp_;

    // The port's settings as the configuration would store them: no dialog, no question.
    void PointAt(const std::wstring& port, const std::string& host)
    {
        for (const RegValue& value :
             {StringValue(L"ServAddr", L"printer@remote.test", false),
              StringValue(L"SMTPAddr", std::wstring(host.begin(), host.end()), false),
              StringValue(L"UserAddr", L"anna@sender.test", false), DwordValue(L"ShowSw", 0),
              DwordValue(L"CheckMailSw", 0)})
            WriteRegValue(port, value);
    }
};

TEST_F(WineSpooler, AGdiJobOnAPortAddedThroughTheSpoolerArrivesAsMail)
{
    const std::string host = smtp_.Start();
    ASSERT_FALSE(host.empty()) << smtp_.lastError();
    std::wstring monitor = ResourceString(706);
    ASSERT_EQ(0, AddPortExThroughSpooler(L"NMX4", monitor.c_str()));
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
} // namespace
