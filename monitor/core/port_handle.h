#pragma once
#include "monitor/core/port_entry.h"

// The port entry behind a spooler port handle, deleted or not; nullptr for a handle that is not
// one of ours. The handle holds the entry until ClosePort.
inline PortEntry* EntryOfHandle(HANDLE port)
{
    auto* entry = static_cast<PortEntry*>(port);
    return entry != nullptr && entry->signature == kPortEntrySignature ? entry : nullptr;
}

// The port behind a handle; nullptr for a handle that is not one of ours or whose port has been
// deleted (the entry points refuse both with ERROR_INVALID_HANDLE).
inline PortEntry* PortFromHandle(HANDLE port)
{
    PortEntry* entry = EntryOfHandle(port);
    return entry != nullptr && !HasFlag(entry, kFlagRemoved) ? entry : nullptr;
}

// How the entry points refuse such a handle, and a port call that has no port to act on.
inline BOOL RefuseHandle()
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// Closes the job's printer and frees the printer-name copy.
void ReleaseJobPrinter(PortEntry* entry);
