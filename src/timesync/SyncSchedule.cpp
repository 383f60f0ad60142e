#include "timesync/SyncSchedule.h"

#include "config/RegistryValue.h"
#include "config/SettingsStore.h"

namespace vorlane {

namespace {

constexpr double kHalfMillisecond = 0.5 / (86400.0 * 1000.0);

} // namespace

bool IsSynchronizationDue(int interval, double elapsedDays)
{
    switch (interval) {
    case kHourlyInterval:
        return elapsedDays >= kHourlyThreshold - kHalfMillisecond;
    case kDailyInterval:
        return elapsedDays >= kDailyThreshold - kHalfMillisecond;
    default:
        return false;
    }
}

double DaysSinceLastSynchronization(const RegistryKey& root, double now)
{
    double result = now;
    const RegistryKey* settings = root.OpenKey(kSettingsKey);
    if (settings == nullptr)
        return result;
    if (const RegistryValue* value = settings->FindValue(kLastSynchronizedAt)) {
        const double last = ReadDateTime(*value, kLastSynchronizedAt);
        // Only a value later than now means the clock was set back. One equal to now is an
        // attempt of this very millisecond, not one from the future.
        if (now >= last)
            result = now - last;
    }
    return result;
}

void WriteLastSynchronizedAt(RegistryStore& store, double dateTime)
{
    store.Modify([dateTime](RegistryKey& root) {
        if (RegistryKey* settings = root.OpenKey(kSettingsKey))
            settings->SetValue(kLastSynchronizedAt, DateTimeValue(dateTime));
    });
}

} // namespace vorlane
