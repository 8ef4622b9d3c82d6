#pragma once
#include <cstddef>
#include <cstdint>

// The job identifier of the mail's control block ("KAP-UID").

constexpr std::size_t kJobUidSenderChars = 60;
// 60 characters of the sender, eight date digits, at most nine time digits and the null.
constexpr std::size_t kJobUidChars = 80;

struct UidTime {
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t millisecond;
};

// At most 60 characters of the sender address, the local date as the locale writes the picture
// "yyyyMMdd", then the UTC hour, minute, second and millisecond, each in decimal without
// leading zeros. The result is cut to the capacity (kJobUidChars holds every identifier).
void FormatJobUid(const wchar_t* sender, const wchar_t* localDate, const UidTime& utc, wchar_t* out,
                  std::size_t capacity);
