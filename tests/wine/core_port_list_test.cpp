// The monitor's entry, its port list built from the registry and EnumPorts, through the function
// table of the installed library as the spooler calls it.
#include "monitor/core/resource_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {
constexpr BYTE kSentinel = 0xEF;
constexpr DWORD kUntouched = 0xDEADBEEF;

struct EnumResult {
    BOOL ok = FALSE;
    DWORD error = 0;
    DWORD needed = kUntouched;
    DWORD returned = kUntouched;
    std::vector<BYTE> buffer;
};

EnumResult CallEnumPorts(const MonitorFunctions& monitor, DWORD level, DWORD bufferSize)
{
    EnumResult result;
    result.buffer.assign(bufferSize, kSentinel);
    SetLastError(0);
    result.ok = monitor.EnumPorts(nullptr, level, bufferSize ? result.buffer.data() : nullptr, bufferSize,
                                  &result.needed, &result.returned);
    result.error = GetLastError();
    return result;
}

DWORD NeededBytes(const MonitorFunctions& monitor, DWORD level)
{
    return CallEnumPorts(monitor, level, 0).needed;
}

RegKeySpec Port(const wchar_t* name)
{
    return {name, {DwordValue(L"ShowSw", 0)}};
}

class PortList : public ::testing::Test {
protected:
    MessageBoxCatcher boxes_;
};

TEST_F(PortList, TheTableHoldsFourteenEntryPointsWithoutOpenPortEx)
{
    RegistryScope registry;
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr) << monitor.Error();
    EXPECT_EQ(56u, monitor.TableSize());
    const MonitorFunctions& f = *monitor.Functions();
    EXPECT_EQ(nullptr, f.OpenPortEx);
    const void* provided[] = {reinterpret_cast<void*>(f.EnumPorts), reinterpret_cast<void*>(f.OpenPort),
                              reinterpret_cast<void*>(f.StartDocPort), reinterpret_cast<void*>(f.WritePort),
                              reinterpret_cast<void*>(f.ReadPort), reinterpret_cast<void*>(f.EndDocPort),
                              reinterpret_cast<void*>(f.ClosePort), reinterpret_cast<void*>(f.AddPort),
                              reinterpret_cast<void*>(f.AddPortEx), reinterpret_cast<void*>(f.ConfigurePort),
                              reinterpret_cast<void*>(f.DeletePort),
                              reinterpret_cast<void*>(f.GetPrinterDataFromPort),
                              reinterpret_cast<void*>(f.SetPortTimeOuts)};
    for (const void* entry : provided)
        EXPECT_NE(nullptr, entry);
}

TEST_F(PortList, EverySubkeyIsAnEntryButOnlyMonitorPortsAreReported)
{
    RegistryScope registry({Port(L"NMX1"), Port(L"nmx2")}); // "1.64" is there too
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);

    // Level 1: 4 bytes and the name with its terminator, for all three entries.
    const DWORD needed = NeededBytes(*monitor.Functions(), 1);
    EXPECT_EQ(3u * (4 + 2 * 4 + 2), needed);
    EnumResult result = CallEnumPorts(*monitor.Functions(), 1, needed);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(2u, result.returned);
    const auto* ports = reinterpret_cast<const PORT_INFO_1W*>(result.buffer.data());
    EXPECT_STREQ(L"NMX1", ports[0].pName);
    EXPECT_STREQ(L"nmx2", ports[1].pName);
}

TEST_F(PortList, ABufferOfExactlyTheBytesNeededSucceedsAndOneByteLessFails)
{
    RegistryScope registry({Port(L"NMX1"), Port(L"NMX22")});
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    for (DWORD level : {1u, 2u}) {
        SCOPED_TRACE(level);
        const DWORD needed = NeededBytes(*monitor.Functions(), level);
        ASSERT_NE(kUntouched, needed);

        EnumResult tooSmall = CallEnumPorts(*monitor.Functions(), level, needed - 1);
        EXPECT_FALSE(tooSmall.ok);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), tooSmall.error);
        EXPECT_EQ(needed, tooSmall.needed);
        EXPECT_TRUE(std::all_of(tooSmall.buffer.begin(), tooSmall.buffer.end(), [](BYTE b) { return b == kSentinel; }))
            << "a failed call wrote into the buffer";

        EnumResult exact = CallEnumPorts(*monitor.Functions(), level, needed);
        EXPECT_TRUE(exact.ok) << exact.error;
        EXPECT_EQ(2u, exact.returned);
        EXPECT_EQ(needed, exact.needed);

        EnumResult larger = CallEnumPorts(*monitor.Functions(), level, needed + 1);
        ASSERT_TRUE(larger.ok);
        // The first port's name is the first string packed: it ends the buffer.
        const WCHAR* first = level == 1 ? reinterpret_cast<const PORT_INFO_1W*>(larger.buffer.data())->pName
                                        : reinterpret_cast<const PORT_INFO_2W*>(larger.buffer.data())->pPortName;
        EXPECT_EQ(larger.buffer.data() + larger.buffer.size(), reinterpret_cast<const BYTE*>(first + lstrlenW(first) + 1));
    }
}

TEST_F(PortList, LevelTwoReportsTheMonitorNameAsMonitorAndDescription)
{
    RegistryScope registry({Port(L"NMX1")});
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    const std::wstring monitorName = InstalledResourceString(IDS_MONITOR_NAME);
    ASSERT_FALSE(monitorName.empty());

    const DWORD needed = NeededBytes(*monitor.Functions(), 2);
    // 20 bytes, then the port name and the monitor name twice, for NMX1 and "1.64" alike.
    EXPECT_EQ(2 * (20 + 2 * (4 + 1) + 4 * (monitorName.size() + 1)), needed);
    EnumResult result = CallEnumPorts(*monitor.Functions(), 2, needed);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(1u, result.returned);
    const auto* port = reinterpret_cast<const PORT_INFO_2W*>(result.buffer.data());
    EXPECT_STREQ(L"NMX1", port->pPortName);
    EXPECT_EQ(monitorName, port->pMonitorName);
    EXPECT_EQ(monitorName, port->pDescription);
    EXPECT_EQ(static_cast<DWORD>(PORT_TYPE_WRITE), port->fPortType);
    EXPECT_EQ(0u, port->Reserved);
    const BYTE* end = result.buffer.data() + result.buffer.size();
    EXPECT_EQ(end - 2 * (4 + 1), reinterpret_cast<const BYTE*>(port->pPortName)) << "the first string ends the buffer";
}

TEST_F(PortList, AnUnsupportedLevelFailsOnlyWhenThereIsAPortToReport)
{
    {
        RegistryScope registry({Port(L"NMX1")});
        LoadedMonitor monitor;
        ASSERT_NE(monitor.Functions(), nullptr);
        EnumResult result = CallEnumPorts(*monitor.Functions(), 3, 64);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_LEVEL), result.error);
        EXPECT_EQ(0u, result.needed);
    }
    {
        RegistryScope registry; // only "1.64", which is no port of the monitor
        LoadedMonitor monitor;
        ASSERT_NE(monitor.Functions(), nullptr);
        EnumResult result = CallEnumPorts(*monitor.Functions(), 3, 64);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(0u, result.returned);
    }
}

TEST_F(PortList, MissingOutputPointersAreRefused)
{
    RegistryScope registry({Port(L"NMX1")});
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    DWORD needed = 0;
    EXPECT_FALSE(monitor.Functions()->EnumPorts(nullptr, 1, nullptr, 0, &needed, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    DWORD returned = 0;
    EXPECT_FALSE(monitor.Functions()->EnumPorts(nullptr, 1, nullptr, 100, &needed, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(PortList, AMissingRegistryRootGivesAnEmptyListAndStillTheTable)
{
    RegistryScope registry; // puts "1.64" back when the test ends
    DeleteRegKey(L"1.64");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Norvale\\Velloprint"));
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr);
    EnumResult result = CallEnumPorts(*monitor.Functions(), 1, 16);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(0u, result.needed);
    EXPECT_EQ(0u, result.returned);
}

TEST_F(PortList, StartingRemovesTheJobFilesLeftBehindAndNothingElse)
{
    RegistryScope registry;
    ClearSpoolDirectory();
    const std::wstring dir = SpoolDirectory();
    ASSERT_FALSE(dir.empty());
    // Spool, part and encoded files of an interrupted run, and files that are not the monitor's.
    for (const wchar_t* name : {L"200553075945.prn", L"20055307594.PRN", L"2005530759450.tmp", L"200553075945-1.prn",
                                L"200553075945.prn.m", L"2005530759450.TMP.m", L"PreDef.ADR", L"notes.prn",
                                L"notes.prnx", L"report.tmp", L"letter.m"}) {
        HANDLE file = CreateFileW((dir + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    {
        LoadedMonitor monitor;
        ASSERT_NE(monitor.Functions(), nullptr);
    }
    std::vector<std::wstring> left = SpoolFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::wstring>{L"PreDef.ADR", L"letter.m", L"notes.prn", L"notes.prnx", L"report.tmp"}), left);
    ClearSpoolDirectory();
}

} // namespace

namespace {
BOOL AddPortR(const MonitorFunctions& monitor, std::wstring monitorName)
{
    wchar_t port[] = L"NMXR";
    PORT_INFO_1W info = {port};
    return monitor.AddPortEx(nullptr, 1, reinterpret_cast<LPBYTE>(&info), monitorName.data());
}

TEST_F(PortList, TwoAddsOfOneNameAtOnceMakeOnePort)
{
    RegistryScope registry({Port(L"NMX1")});
    LoadedMonitor monitor;
    ASSERT_NE(monitor.Functions(), nullptr) << monitor.Error();
    const MonitorFunctions& f = *monitor.Functions();
    const std::wstring monitorName = InstalledResourceString(IDS_MONITOR_NAME);
    // The open configuration dialog holds the monitor lock: both adds wait for it, and take it
    // in turn when the dialog closes.
    wchar_t configured[] = L"NMX1";
    DialogThread configuration([&] { return static_cast<INT_PTR>(f.ConfigurePort(nullptr, nullptr, configured)); });
    HWND dialog = configuration.WaitForDialog(L"Velloprint Port Settings");
    ASSERT_NE(dialog, nullptr) << configuration.Describe();
    BOOL first = FALSE;
    BOOL second = FALSE;
    std::thread a([&] { first = AddPortR(f, monitorName); });
    std::thread b([&] { second = AddPortR(f, monitorName); });
    Sleep(500); // both reach the lock
    PostClick(dialog, IDCANCEL);
    a.join();
    b.join();
    ASSERT_TRUE(configuration.WaitForEnd());
    EXPECT_NE(first, second) << "both adds succeeded, or neither";
    wchar_t port[] = L"NMXR";
    int entries = 0;
    while (f.DeletePort(nullptr, nullptr, port))
        ++entries;
    EXPECT_EQ(entries, 1);
}
} // namespace
