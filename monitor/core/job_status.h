#pragma once
#include "monitor/core/port_entry.h"

// Status bits of the port's current job as the spooler reports them, or 0 after telling the user
// why they could not be read. Also refreshes the entry's DocName.
DWORD QueryJobStatus(PortEntry* entry);
