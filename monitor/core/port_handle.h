#pragma once
#include "monitor/core/port_entry.h"

// The port entry behind a spooler port handle, or nullptr for a handle that is not one of ours.
inline PortEntry* PortFromHandle(HANDLE port)
{
    auto* entry = static_cast<PortEntry*>(port);
    return entry != nullptr && entry->signature == kPortEntrySignature ? entry : nullptr;
}

// Closes the job's printer and frees the printer-name copy.
void ReleaseJobPrinter(PortEntry* entry);
