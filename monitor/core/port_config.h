#pragma once
#include "monitor/core/port_entry.h"

// The port configuration dialog for a port of the list, which the caller found under the monitor
// lock and still holds the lock or a reference to: 1 accepted, 0 cancelled, -1 when the dialog
// cannot be created. Outside a job, OK stores the settings in the registry, unless the port was
// deleted meanwhile; during a job what the user accepts serves that job only. During a job on a
// port whose ShowSw is not 1 it returns 1 without showing.
INT_PTR ShowPortConfigDialog(HWND owner, PortEntry* entry);
