#pragma once
#include "monitor/core/port_entry.h"

// Status bits of the port's current job as the spooler reports them, or 0 after telling the user
// why they could not be read. Also refreshes the entry's DocName.
DWORD QueryJobStatus(PortEntry* entry);

// The same query, telling whether the status could be read: false after the user was told why
// not, so that a caller polling the job can stop and not repeat the message.
bool TryQueryJobStatus(PortEntry* entry, DWORD* status);
