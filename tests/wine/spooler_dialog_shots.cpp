// Photographs the UI library's dialogs as the system's own calls open them, for scripts/demo.sh
// on its virtual screen; not a ctest test. AddPortW shows the add-port dialog and then the new
// port's settings (OK makes the port), ConfigurePortW the settings of that port again; a job
// printed to the port brings up its confirmation in the notifier. Runs without the print host's
// stand-ins: these calls go through Wine's own spooler.
#include "monitor/ui/dialog_ids.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/other_process_window.h"
#include "tests/wine/support/shot_directory.h"
#include "printhost/wine_spooler_calls.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <future>

namespace {
constexpr wchar_t kPortSettings[] = L"Velloprint Port Settings";

TEST(SpoolerDialogShots, AddPortAndConfigurePortThroughTheSpooler)
{
    const ShotDirectory shots;
    ASSERT_TRUE(shots.Valid()) << "NMX_SCREENSHOT_DIR names the folder";
    std::wstring monitor = ResourceString(706);
    DialogThread add([&] { return static_cast<INT_PTR>(AddPortW(nullptr, nullptr, &monitor[0])); });
    HWND name = add.WaitForDialog(L"Add Velloprint Port");
    ASSERT_NE(nullptr, name) << add.Describe();
    TypeText(name, IDC_NEW_PORT_NAME, L"NMX5");
    ASSERT_TRUE(shots.Photograph(L"spooler_add_port"));
    PostClick(name, IDOK);
    // The notice comes first unless the user switched it off.
    if (HWND notice = add.WaitForDialog(L"Velloprint Notice", 10000))
        PostClick(notice, IDOK);
    HWND settings = add.WaitForDialog(kPortSettings);
    ASSERT_NE(nullptr, settings) << add.Describe();
    SetControlText(settings, IDC_SERV_ADDR, L"plotter@example.com");
    SetControlText(settings, IDC_SMTP_ADDR, L"127.0.1.25");
    ASSERT_TRUE(shots.Photograph(L"spooler_add_port_settings"));
    PostClick(settings, IDOK);
    ASSERT_TRUE(add.WaitForEnd());

    wchar_t port[] = L"NMX5";
    DialogThread configure([&] { return static_cast<INT_PTR>(ConfigurePortW(nullptr, nullptr, port)); });
    DriveDialog(configure, kPortSettings, [&](HWND) { EXPECT_TRUE(shots.Photograph(L"spooler_configure_port")); });

    // The new port asks for each job's confirmation; the spooler shows nothing itself.
    constexpr wchar_t kPrinter[] = L"Velloprint Demo NMX5";
    ASSERT_EQ(0, AddPostScriptPrinter(kPrinter, port));
    std::future<int> printed =
        std::async(std::launch::async, [&] { return PrintGdiLetter(kPrinter, L"Confirmed in the notifier"); });
    const OtherProcessWindow confirmation = WaitForOtherProcessWindow(kPortSettings);
    ASSERT_NE(nullptr, confirmation.window) << "the notifier's confirmation";
    EXPECT_TRUE(shots.Photograph(L"spooler_job_confirmation"));
    PostClick(confirmation.window, IDOK);
    EXPECT_EQ(0, printed.get());
}
} // namespace
