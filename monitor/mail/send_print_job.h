#pragma once
#include "monitor/core/port_entry.h"

// Mails the file named by the entry's SpoolFile to every recipient of its ServAddr, each over a
// connection of its own. True when at least one mail went out completely and no connection
// failure or deleted job stopped the delivery.
BOOL SendPrintJob(PortEntry* entry);
