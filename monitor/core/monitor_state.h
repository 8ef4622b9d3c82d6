#pragma once
#include <windows.h>

// Process-wide state of the loaded monitor library.
extern HINSTANCE g_moduleInstance;
extern HMODULE g_resourceLibrary;    // NmxRC.dll: every text and dialog comes from it
extern WCHAR g_monitorName[128];     // string 706
extern WCHAR g_messageCaption[128];  // string 702
// Loaded through the spooler's modern interface: this process shows nothing on screen, and a
// job's messages go to the user who printed it.
extern bool g_spoolerShowsNothing;

// Loads NmxRC.dll from the system directory, with the message caption and the monitor's name.
bool LoadResourceLibrary();

// Deletes the job files an earlier run left behind and turns every subkey of the registry root
// into a port entry; both initialisations start so.
void LoadPortList();

// The monitor lock guards the port list; it is initialised when the library is attached.
void InitializeMonitorLock();
void EnterMonitorLock();
void LeaveMonitorLock();

class MonitorLockGuard {
public:
    MonitorLockGuard() { EnterMonitorLock(); }
    ~MonitorLockGuard() { LeaveMonitorLock(); }
    MonitorLockGuard(const MonitorLockGuard&) = delete;
    MonitorLockGuard& operator=(const MonitorLockGuard&) = delete;
};
