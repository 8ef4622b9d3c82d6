#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"

namespace {
LONG g_attachCount = 0;

bool LoadResourceLibrary()
{
    WCHAR systemDir[MAX_PATH];
    UINT length = GetSystemDirectoryW(systemDir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    WCHAR path[522];
    wsprintfW(path, L"%s\\%s", systemDir, L"NmxRC.dll");
    g_resourceLibrary = LoadLibraryW(path);
    return g_resourceLibrary != nullptr;
}

BOOL AttachProcess(HINSTANCE instance)
{
    InterlockedIncrement(&g_attachCount);
    g_moduleInstance = instance;
    if (g_resourceLibrary == nullptr && !LoadResourceLibrary()) {
        // Nothing else can be shown without the library: these two texts are built in.
        MessageBoxW(nullptr, L"Can't Load Resource File", L"Ostrel Velloprint", MB_SETFOREGROUND);
        InterlockedDecrement(&g_attachCount);
        return FALSE;
    }
    InitializeMonitorLock();
    DisableThreadLibraryCalls(instance);
    LoadStringW(g_resourceLibrary, IDS_MESSAGE_CAPTION, g_messageCaption, 128);
    LoadStringW(g_resourceLibrary, IDS_MONITOR_NAME, g_monitorName, 128);
    return TRUE;
}

BOOL DetachProcess()
{
    if (InterlockedDecrement(&g_attachCount) == 0 && g_resourceLibrary != nullptr) {
        FreeLibrary(g_resourceLibrary);
        g_resourceLibrary = nullptr;
    }
    return TRUE;
}
} // namespace

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return AttachProcess(instance);
    case DLL_PROCESS_DETACH:
        return DetachProcess();
    default:
        return FALSE;
    }
}

// The C runtime's entry calls DllMain; the monitor's own entry is DllEntryPoint.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return DllEntryPoint(instance, reason, reserved);
}
