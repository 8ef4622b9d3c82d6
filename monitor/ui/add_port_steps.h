#pragma once
#include <windows.h>

// Adding a port with the user: the add-port dialog until a new name is accepted or the user
// cancels (a name that exists gets message 502 and the dialog again), the notice, the name's
// prefix in capitals, then the new port's configuration. The same steps serve the legacy
// AddPort, over the monitor's own list, and NMX_MONUI.dll, over the monitor seen through Xcv.
class NewPortTarget {
public:
    // Whether a port of that name exists; *error is non-zero when that cannot be told.
    virtual bool Exists(const WCHAR* name, DWORD* error) = 0;
    // Makes the port and runs its configuration dialog; a cancelled configuration leaves no port.
    // False when the port could not be made.
    virtual bool AddAndConfigure(HWND window, const WCHAR* name) = 0;

protected:
    ~NewPortTarget() = default;
};

// True when the user cancelled or the port was made, false when it could not be.
bool RunAddPortSteps(HWND window, NewPortTarget& target);

void UpperCasePrefix(WCHAR* name);
