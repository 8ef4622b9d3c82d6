#pragma once

// The part size, in kilobytes, that the port configuration dialog accepts while jobs are sent in
// parts; with parts switched off any content of the field is accepted.
constexpr unsigned kMinPartLimitKb = 16;
constexpr unsigned kMaxPartLimitKb = 16384;

inline bool IsAcceptedPartLimit(bool partSwitchOn, bool numberRead, unsigned partLimitKb)
{
    return !partSwitchOn ||
           (numberRead && partLimitKb >= kMinPartLimitKb && partLimitKb <= kMaxPartLimitKb);
}
