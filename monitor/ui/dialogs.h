#pragma once
#include <windows.h>

#include "monitor/core/port_settings.h"
#include "monitor/ui/port_name_rule.h"

// The monitor's dialogs. Each runs modally on the calling thread; their templates and texts come
// from the resource library.

// Add-port dialog: the accepted name as a new zero-filled copy (freed with GlobalFree), or nullptr
// when the user cancels or the dialog cannot be created.
WCHAR* ShowAddPortDialog(HWND owner);

// Where the port configuration dialog's settings are stored: the registry for the monitor.
class PortSettingsStore {
public:
    // Reads the stored settings of the record's PortName into it (the dialog's reload button).
    virtual void Load(PortSettings* settings) = 0;
    // Stores accepted settings. False when they were not stored: the user has been told, and
    // the dialog stays open with what was typed.
    virtual bool Store(const PortSettings& settings) = 0;

protected:
    ~PortSettingsStore() = default;
};

// Port configuration dialog over a settings value: it shows *settings and, on OK, puts the
// accepted values back there, after storing them unless the dialog confirms a job start (whose
// values serve that job only). 1 accepted, 0 cancelled, -1 when the dialog cannot be created;
// *settings changes only when 1 is returned.
// ServerFields::Fixed shows the mail server and its login without letting them change: a job
// confirmed outside the spooler's process keeps the stored ones.
enum class ServerFields { Editable, Fixed };
INT_PTR RunPortConfigDialog(HWND owner, PortSettings* settings, bool forJob, PortSettingsStore& store,
                            ServerFields server = ServerFields::Editable);

// Notice dialog, also exported: 1 after OK or when the notice is switched off, -1 on failure.
extern "C" int WINAPI Display347Check(HWND owner);

// Routines shared by the dialogs.
void CenterWindowOnScreen(HWND window);
void ForceForegroundWindow(HWND window);
// The Japanese dialog font for a Japanese user language, else nullptr (the template font stays).
HFONT CreateDialogFont(HDC dc);
