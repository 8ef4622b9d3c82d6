#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"

namespace {
LONG g_attachCount = 0;

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
