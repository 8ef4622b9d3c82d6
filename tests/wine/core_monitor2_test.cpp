// The spooler's modern interface of the installed library: InitializePrintMonitor2, its table
// and the Xcv commands, called as a spooler calls them.
#include "monitor/core/resource_ids.h"
#include "monitor/core/xcv_settings.h"
#include "printhost/loaded_monitor.h"
#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
// A command as the tests send it: to the monitor with administrator access unless told.
class Monitor2 : public LoadedMonitor2 {
public:
    const Monitor2Table* operator->() const { return Table(); }
    DWORD Xcv(const wchar_t* command, const std::vector<BYTE>& input, std::vector<BYTE>* output = nullptr,
              const wchar_t* object = L"", ACCESS_MASK access = SERVER_ACCESS_ADMINISTER, DWORD* needed = nullptr)
    {
        return LoadedMonitor2::Xcv(object, access, command, input, output, needed);
    }
};

std::vector<BYTE> Name(const std::wstring& name)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(name.c_str());
    return std::vector<BYTE>(bytes, bytes + (name.size() + 1) * sizeof(wchar_t));
}

void Put(char16_t* field, const std::wstring& text)
{
    std::memcpy(field, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

class Monitor2Test : public ::testing::Test {
protected:
    MessageBoxCatcher boxes_; // any box fails the test
    RegistryScope registry_{{{L"NMX1", {StringValue(L"SMTPAddr", L"mail.example.com"), DwordValue(L"ShowSw", 0)}},
                             {L"NMX2", {}}}};
    Monitor2 monitor_;
};

TEST_F(Monitor2Test, TheTableFitsItsSizeAndLeavesThePortDialogsToTheUiLibrary)
{
    ASSERT_NE(monitor_.operator->(), nullptr);
    EXPECT_EQ(19 * sizeof(void*), monitor_->size);
    EXPECT_EQ(nullptr, monitor_->AddPort);
    EXPECT_EQ(nullptr, monitor_->ConfigurePort);
    EXPECT_EQ(nullptr, monitor_->DeletePort);
    DWORD needed = 0, returned = 0;
    SetLastError(0);
    EXPECT_FALSE(monitor_->EnumPorts(nullptr, nullptr, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError()) << "not the handle it gave";
    // Both ports are known to the spooler's registry, so that their jobs find the monitor.
    EXPECT_TRUE(SpoolerHasPort(L"NMX1"));
    EXPECT_TRUE(SpoolerHasPort(L"NMX2"));
}

TEST_F(Monitor2Test, MonitorUiNamesTheUiLibraryAndSaysHowMuchRoomItNeeds)
{
    std::vector<BYTE> small(10);
    DWORD needed = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), monitor_.Xcv(L"MonitorUI", {}, &small, L"", 0, &needed));
    EXPECT_EQ(sizeof(L"NMX_MONUI.dll"), needed);
    std::vector<BYTE> out(needed);
    ASSERT_EQ(0u, monitor_.Xcv(L"MonitorUI", {}, &out, L"", 0));
    EXPECT_EQ(std::wstring(L"NMX_MONUI.dll"), reinterpret_cast<const wchar_t*>(out.data()));
}

TEST_F(Monitor2Test, PortExistsAnswersWithADword)
{
    std::vector<BYTE> out(4);
    ASSERT_EQ(0u, monitor_.Xcv(L"PortExists", Name(L"nmx1"), &out));
    EXPECT_EQ(1u, *reinterpret_cast<DWORD*>(out.data()));
    ASSERT_EQ(0u, monitor_.Xcv(L"PortExists", Name(L"NMX7"), &out));
    EXPECT_EQ(0u, *reinterpret_cast<DWORD*>(out.data()));
}

TEST_F(Monitor2Test, AddPortKeepsTheNewPortWhereTheSpoolerAndTheNextLoadFindIt)
{
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), monitor_.Xcv(L"AddPort", Name(L"nmxNew"), nullptr, L"", 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), monitor_.Xcv(L"AddPort", Name(L"LPT9")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), monitor_.Xcv(L"AddPort", {'N', 0, 'M'})) << "no terminator";
    ASSERT_EQ(0u, monitor_.Xcv(L"AddPort", Name(L"nmxNew")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), monitor_.Xcv(L"AddPort", Name(L"NMXNEW")));
    EXPECT_EQ(1u, RegNumber(L"NMXNew", L"ShowSw")) << "the defaults are stored";
    EXPECT_TRUE(SpoolerHasPort(L"NMXNew"));

    ASSERT_EQ(0u, monitor_.Xcv(L"DeletePort", Name(L"NMXNew")));
    EXPECT_FALSE(RegKeyExists(L"NMXNew"));
    EXPECT_FALSE(SpoolerHasPort(L"NMXNew"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNKNOWN_PORT), monitor_.Xcv(L"DeletePort", Name(L"NMXNew")));
}

TEST_F(Monitor2Test, AddPortExSurvivesTheSpoolerUnloadingTheMonitor)
{
    wchar_t name[] = L"NMX5";
    PORT_INFO_1W info = {name};
    std::wstring monitorName = ResourceString(706);
    ASSERT_TRUE(monitor_->AddPortEx(monitor_.Handle(), nullptr, 1, reinterpret_cast<LPBYTE>(&info), &monitorName[0]));
    EXPECT_TRUE(SpoolerHasPort(L"NMX5"));
    Monitor2 reloaded; // the first one is still loaded: its port list is rebuilt from the registry
    std::vector<BYTE> out(4);
    ASSERT_EQ(0u, reloaded.Xcv(L"PortExists", Name(L"NMX5"), &out));
    EXPECT_EQ(1u, *reinterpret_cast<DWORD*>(out.data()));
}

TEST_F(Monitor2Test, SettingsAreReadAndStoredThroughTheBlock)
{
    std::vector<BYTE> out(kXcvSettingsBytes);
    ASSERT_EQ(0u, monitor_.Xcv(L"GetPortSettings", {}, &out, L"NMX1"));
    XcvSettings settings;
    ASSERT_EQ(XcvReadError::None, ReadXcvSettings(out.data(), out.size(), &settings));
    EXPECT_EQ(std::wstring(L"mail.example.com"), reinterpret_cast<const wchar_t*>(settings.SMTPAddr));
    EXPECT_EQ(0u, settings.ShowSw);

    Put(settings.ServAddr, L"printer@example.com");
    settings.PartSw = 1;
    settings.PartLimit = 64;
    WriteXcvSettings(settings, out.data());
    ASSERT_EQ(0u, monitor_.Xcv(L"SetPortSettings", out));
    EXPECT_EQ(L"printer@example.com", RegText(L"NMX1", L"ServAddr"));
    EXPECT_EQ(64u, RegNumber(L"NMX1", L"PartLimit"));
}

TEST_F(Monitor2Test, AMalformedOrMisdirectedBlockChangesNothing)
{
    std::vector<BYTE> block(kXcvSettingsBytes);
    XcvSettings settings;
    Put(settings.PortName, L"NMX1");
    Put(settings.ServAddr, L"printer@example.com");
    WriteXcvSettings(settings, block.data());

    std::vector<BYTE> badSwitch = block;
    badSwitch[26936] = 2; // ShowSw
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), monitor_.Xcv(L"SetPortSettings", badSwitch));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA),
              monitor_.Xcv(L"SetPortSettings", std::vector<BYTE>(block.begin(), block.end() - 1)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), monitor_.Xcv(L"SetPortSettings", block, nullptr, L"NMX2"));
    settings.passwordAction = PasswordAction::Replace, settings.passwordBytes = 4; // bytes nobody can decrypt
    WriteXcvSettings(settings, block.data());
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), monitor_.Xcv(L"SetPortSettings", block));
    EXPECT_EQ(L"<missing>", RegText(L"NMX1", L"ServAddr"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNKNOWN_PORT), monitor_.Xcv(L"GetPortSettings", {}, nullptr, L"NMX7"));
}
} // namespace

namespace {
// The installed notifier renamed for the scope: a job's owner can be reached by no means.
struct HiddenNotifier {
    const std::wstring path = SystemDirectory() + L"\\nmx_notify.exe";
    const bool hidden = MoveFileExW(path.c_str(), (path + L".hidden").c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    ~HiddenNotifier()
    {
        if (hidden)
            MoveFileExW((path + L".hidden").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
};
} // namespace

TEST_F(Monitor2Test, AJobWhoseOwnerCannotBeReachedIsNotMailedAndItsStatusSaysWhy)
{
    WriteRegValue(L"NMX1", DwordValue(L"ShowSw", 1));
    const HiddenNotifier notifier;
    ASSERT_TRUE(notifier.hidden);
    const DWORD job = spooler::CreateJob(L"Printer A", L"Letter");
    wchar_t portName[] = L"NMX1", printer[] = L"Printer A", document[] = L"Letter";
    DOC_INFO_1W info = {document, nullptr, nullptr};
    HANDLE port = nullptr;
    ASSERT_TRUE(monitor_->OpenPort(monitor_.Handle(), portName, &port));
    EXPECT_TRUE(monitor_->StartDocPort(port, printer, job, 1, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(ResourceString(IDS_QUEUE_NOT_CONFIRMED), spooler::JobStatusText(job));
    EXPECT_EQ(std::vector<DWORD>{JOB_CONTROL_CANCEL}, spooler::JobCommands(job)) << "the spooler deletes it";
    EXPECT_TRUE(monitor_->EndDocPort(port));
    EXPECT_TRUE(monitor_->ClosePort(port));
}
