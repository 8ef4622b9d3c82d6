#pragma once
#include "monitor/core/messages.h"
#include "monitor/core/port_entry.h"

// Where the messages of the port's current job go.
MessageTarget& JobMessages(PortEntry* entry);
