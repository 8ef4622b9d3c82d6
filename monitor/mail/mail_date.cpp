#include "monitor/mail/mail_date.h"
#include <cstdio>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t z, CivilTime* t)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    t->day = static_cast<int32_t>(dayOfYear - (153 * mp + 2) / 5 + 1);
    t->month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    t->year = static_cast<int32_t>(yearOfEra + era * 400 + (t->month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

CivilTime LocalFromUtc(const CivilTime& utc, int32_t biasMinutes)
{
    const int64_t minutes = DaysFromCivil(utc.year, utc.month, utc.day) * 1440 + utc.hour * 60 + utc.minute -
                            biasMinutes;
    const int64_t days = FloorDiv(minutes, 1440);
    const int64_t minuteOfDay = minutes - days * 1440;
    CivilTime local{};
    CivilFromDays(days, &local);
    local.hour = static_cast<int32_t>(minuteOfDay / 60);
    local.minute = static_cast<int32_t>(minuteOfDay % 60);
    local.second = utc.second;
    const int64_t weekday = (days + 4) % 7; // 1970-01-01 was a Thursday
    local.dayOfWeek = static_cast<int32_t>(weekday < 0 ? weekday + 7 : weekday);
    return local;
}

void FormatZoneOffset(int32_t biasMinutes, char out[6])
{
    // The sign is that of the offset itself, also when it is less than an hour.
    const int64_t offset = -static_cast<int64_t>(biasMinutes);
    const int64_t magnitude = offset < 0 ? -offset : offset;
    std::snprintf(out, 6, "%c%02u%02u", offset < 0 ? '-' : '+', static_cast<unsigned>(magnitude / 60 % 100),
                  static_cast<unsigned>(magnitude % 60));
}
