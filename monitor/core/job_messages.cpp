#include "monitor/core/job_messages.h"
#include "monitor/core/monitor_state.h"

MessageTarget& JobMessages(PortEntry* entry)
{
    if (g_spoolerShowsNothing)
        return entry->owner;
    return ThisProcessScreen();
}
