#include "monitor/core/monitor_state.h"

HINSTANCE g_moduleInstance = nullptr;
HMODULE g_resourceLibrary = nullptr;
WCHAR g_monitorName[128] = L"";
WCHAR g_messageCaption[128] = L"";

namespace {
CRITICAL_SECTION g_monitorLock;
}

void InitializeMonitorLock() { InitializeCriticalSection(&g_monitorLock); }
void EnterMonitorLock() { EnterCriticalSection(&g_monitorLock); }
void LeaveMonitorLock() { LeaveCriticalSection(&g_monitorLock); }
