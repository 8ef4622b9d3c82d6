#pragma once
#include <cstdint>

// Calendar time of the Date line. The local time is UTC minus the time-zone bias; only the
// standard bias is used, so during daylight saving time the line shows standard time with the
// standard offset, which names the same instant.
struct CivilTime {
    int32_t year;
    int32_t month;     // 1-12
    int32_t day;       // 1-31
    int32_t hour;
    int32_t minute;
    int32_t second;
    int32_t dayOfWeek; // 0 Sunday - 6 Saturday
};

// UTC minus biasMinutes; the date moves with the shift when it crosses midnight.
CivilTime LocalFromUtc(const CivilTime& utc, int32_t biasMinutes);

// "+HHMM" or "-HHMM" for a bias B (UTC = local + B), the offset being -B. Writes 6 bytes.
void FormatZoneOffset(int32_t biasMinutes, char out[6]);
