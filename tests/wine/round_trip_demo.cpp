// The round trip of scripts/demo.sh on a virtual screen, driven by messages as a person's clicks
// would: the configuration dialog of the port NMX_DEMO_PORT opened through the installed monitor's
// ConfigurePort, "Address Book...", the address book's kept entry removed, two printers and a
// group picked and sent, the dialog confirmed. The script photographs each step (shot_directory.h)
// and finds the mailboxes picked, one a line, in "picked.txt" of NMX_SCREENSHOT_DIR. Not a test
// of the suite and not shipped: it writes its address book into the installation directory.
#include "addressbook/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/shot_directory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::vector<PersonalRecord> kPrinters = {
    {"Front desk", "frontdesk@example.com", "Ground floor;Hall;Mono", "Letters"},
    {"Lab printer", "lab@example.com", "2F;Lab;Colour", "Proofs"},
    {"Plotter 1", "plotter1@example.com", "3F;Studio;A0", "Plans"},
    {"Plotter 2", "plotter2@example.com", "3F;Studio;A1", "Plans"},
    {"Archive", "archive@example.com", "Basement;;", "Not picked"},
};
const std::vector<GroupRecord> kPrinterGroups = {{"Plotters", "Both plotters", {"Plotter 1", "Plotter 2"}}};
// Main-list positions: the printers in file order, then the group.
const std::vector<int> kPicked = {0, 1, 5};
const std::vector<std::string> kPickedMailboxes = {"frontdesk@example.com", "lab@example.com", "plotter1@example.com",
                                                   "plotter2@example.com"};

std::wstring DemoPort()
{
    wchar_t port[16] = {};
    GetEnvironmentVariableW(L"NMX_DEMO_PORT", port, 16);
    return port;
}

void Step(const char* text)
{
    printf("== %s\n", text);
    fflush(stdout);
}

bool WritePicked(const ShotDirectory& shots)
{
    std::string lines;
    for (const std::string& mailbox : kPickedMailboxes)
        lines += mailbox + "\n";
    return WriteFileBytes(shots.Path() + L"\\picked.txt", Bytes(lines.begin(), lines.end()));
}

TEST(RoundTripDemo, PickSendConfirm)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR is not set";
    std::wstring port = DemoPort();
    ASSERT_FALSE(port.empty()) << "NMX_DEMO_PORT is not set";
    ASSERT_TRUE(WriteFileBytes(InstallDirectory() + L"\\personal.inf", PersonalFile(kPrinters)));
    ASSERT_TRUE(WriteFileBytes(InstallDirectory() + L"\\group.inf", GroupFile(kPrinterGroups)));
    ASSERT_TRUE(WritePicked(shots));
    const LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);

    DialogThread thread(
        [&] { return static_cast<INT_PTR>(monitor.Functions()->ConfigurePort(nullptr, nullptr, &port[0])); });
    DriveDialog(
        thread, L"Velloprint Port Settings",
        [&](HWND dialog) {
            Step("the port's settings as stored");
            EXPECT_TRUE(shots.Photograph(L"1_port_settings"));

            MessageBoxCatcher boxes;
            AddressBookRun book(&boxes);
            Click(dialog, IDC_ADDRESS_BOOK);
            ASSERT_TRUE(book.Started()) << book.Describe();
            Step("\"Address Book...\" pressed: the address book, the stored list as its first recipient");
            EXPECT_TRUE(shots.Photograph(L"2_address_book"));

            book.SelectRecipients({0});
            EXPECT_TRUE(book.Press(IDC_RECIPIENT_REMOVE));
            book.Select(kPicked);
            EXPECT_TRUE(book.Press(IDC_RECIPIENT_ADD));
            Step("the stored list removed; two printers and the group \"Plotters\" added");
            EXPECT_TRUE(shots.Photograph(L"3_recipients_chosen"));

            EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
            EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
            EXPECT_TRUE(thread.Flush());
            printf("   the destination field now holds: %s\n", Utf8(ControlText(dialog, IDC_SERV_ADDR)).c_str());
            Step("sent: the address book has ended, the dialog holds the chosen mailboxes");
            EXPECT_TRUE(shots.Photograph(L"4_port_settings_after_send"));
            Step("OK: the settings are stored");
        },
        IDOK);
}

} // namespace
