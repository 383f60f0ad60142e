#pragma once

#include "timesync/SystemTime.h"

#include <cstdint>
#include <optional>

namespace vorlane {

// The program's date-time scale: days since 1899-12-30 00:00, the fraction being the time of day.
inline constexpr double kUnixEpochDays = 25569.0; // 1970-01-01 on that scale
inline constexpr std::int64_t kSecondsPerDay = 86400;

// The value of a calendar date and time on the scale. The fields are taken as they come (no
// range check), so callers pass real dates.
double DateTimeFromCivil(int year, int month, int day, int hour, int minute, int second,
                         int millisecond = 0);

// Seconds since 1970-01-01 00:00:00 UTC on the scale (UTC).
double DateTimeFromUnixSeconds(std::int64_t seconds);

// The UTC calendar fields of seconds since 1970, whole seconds, millisecond 0. Computed from the
// whole count rather than from the double, so no rounding can put 23:59:59 on the next day.
SystemTime SystemTimeFromUnixSeconds(std::int64_t seconds);

// The inverse in whole seconds, ignoring dayOfWeek and the milliseconds; empty when a field is
// out of range (month 1 to 12, the day within its month, hour below 24, minute and second below
// 60, millisecond below 1000).
std::optional<std::int64_t> UnixSecondsFromSystemTime(const SystemTime& utc);

} // namespace vorlane
