#include "monitor/core/job_messages.h"

MessageTarget& JobMessages(PortEntry*)
{
    return ThisProcessScreen();
}
