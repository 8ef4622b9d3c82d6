#pragma once
#include <windows.h>

// Port management shared by the legacy entry points and the spooler's modern interface.

// Whether a port of that name exists: a registry subkey, or an entry already in the list (a port
// added without dialog has no key yet). *error is the spooler library's load error, else 0.
// Callers that add the port hold the monitor lock from this check to the add, so that two adds
// of one name cannot both pass it.
bool IsPortRegistered(const WCHAR* name, DWORD* error);
bool IsThisMonitor(const WCHAR* monitorName);
// Takes the port out of the list and deletes its settings: ERROR_UNKNOWN_PORT when it is not in
// the list, ERROR_BUSY while a job is open on it.
DWORD RemovePort(const WCHAR* portName);

// The spooler's own record of the port under the monitor's key
// (...\Control\Print\Monitors\<monitor>\Ports\<port>), by which Wine's spooler finds the monitor
// of a job's port.
LONG RegisterSpoolerPort(const WCHAR* portName);
void UnregisterSpoolerPort(const WCHAR* portName);
// A port added through the spooler: its settings key with the defaults, so that it is found
// again when the spooler loads the monitor anew, and the spooler's record. The first error.
LONG PersistNewPort(const WCHAR* portName);
