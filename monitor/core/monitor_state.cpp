#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"

HINSTANCE g_moduleInstance = nullptr;
HMODULE g_resourceLibrary = nullptr;
WCHAR g_monitorName[128] = L"";
WCHAR g_messageCaption[128] = L"";
bool g_spoolerShowsNothing = false;

bool LoadResourceLibrary()
{
    WCHAR systemDir[MAX_PATH];
    UINT length = GetSystemDirectoryW(systemDir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    WCHAR path[522];
    wsprintfW(path, L"%s\\%s", systemDir, L"NmxRC.dll");
    g_resourceLibrary = LoadLibraryW(path);
    if (g_resourceLibrary == nullptr)
        return false;
    LoadStringW(g_resourceLibrary, IDS_MESSAGE_CAPTION, g_messageCaption, 128);
    LoadStringW(g_resourceLibrary, IDS_MONITOR_NAME, g_monitorName, 128);
    return true;
}

namespace {
CRITICAL_SECTION g_monitorLock;
}

void InitializeMonitorLock() { InitializeCriticalSection(&g_monitorLock); }
void EnterMonitorLock() { EnterCriticalSection(&g_monitorLock); }
void LeaveMonitorLock() { LeaveCriticalSection(&g_monitorLock); }
