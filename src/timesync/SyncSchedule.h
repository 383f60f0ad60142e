#pragma once

#include "config/RegistryKey.h"
#include "config/RegistryStore.h"

#include <string_view>

namespace vorlane {

inline constexpr std::string_view kLastSynchronizedAt = "LastSynchronizedAt";

// Elapsed local time, in days, after which a synchronization falls due, by
// TimeSynchronizationInterval.
inline constexpr int kHourlyInterval = 0;
inline constexpr int kDailyInterval = 1;
inline constexpr double kHourlyThreshold = 1.0 / 24.0;
inline constexpr double kDailyThreshold = 1.0;

// Due when at least the interval's threshold has passed: one hour for 0, one day for 1; any
// other interval never falls due. Differences of date-times near day 45000 carry rounding of a
// few microseconds, so an elapsed time within half a millisecond below the threshold counts as
// reaching it: exactly one hour must be due.
bool IsSynchronizationDue(int interval, double elapsedDays);

// Days from LastSynchronizedAt in the settings key of root to now (both on the local date-time
// scale). Now itself, which is due for every interval, when the key or the value is missing or
// the value lies after now (the clock was set back). A value of another kind fails with
// the registry's "Invalid data type for 'LastSynchronizedAt'".
double DaysSinceLastSynchronization(const RegistryKey& root, double now);

// Stores LastSynchronizedAt in the settings key, which it never creates: without the key nothing
// is written.
void WriteLastSynchronizedAt(RegistryStore& store, double dateTime);

} // namespace vorlane
