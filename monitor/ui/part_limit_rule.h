#pragma once
#include "monitor/core/stored_numbers.h"

// The part size, in kilobytes, that the port configuration dialog accepts while jobs are sent in
// parts; with parts switched off any content of the field is accepted.
inline bool IsAcceptedPartLimit(bool partSwitchOn, bool numberRead, unsigned partLimitKb)
{
    return !partSwitchOn || (numberRead && kPartLimitKbRange.Holds(partLimitKb));
}
