#pragma once
#include <cstdint>

// The numbers of a port's settings as the configuration dialog stores them. A stored number
// outside its range was not written by the dialog: it counts as missing and the default serves.
struct NumberRange {
    uint32_t min;
    uint32_t max;
    constexpr bool Holds(uint32_t value) const { return value >= min && value <= max; }
};

constexpr NumberRange kNotificationRange{0, 3}; // none, completion only, failure only, always
constexpr NumberRange kSwitchRange{0, 1};       // ShowSw, CheckMailSw, PartSw
constexpr NumberRange kPartLimitKbRange{16, 16384};
constexpr uint32_t kDefaultPartLimitKb = 1024;
constexpr NumberRange kSmtpPortRange{0, 65535}; // 0: the security mode's own port
