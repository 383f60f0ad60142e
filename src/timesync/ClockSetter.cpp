#include "timesync/ClockSetter.h"

#include "timesync/DateTime.h"

#include <ctime>
#include <limits>

namespace vorlane {

ClockSetter::~ClockSetter() = default;

bool FallbackClockSetter::SetSystemTime(const SystemTime& utc)
{
    keptByNtp_ = false;
    if (first_.SetSystemTime(utc))
        return true;
    const bool set = second_.SetSystemTime(utc);
    keptByNtp_ = !set && second_.ClockKeptByNtp();
    return set;
}

bool SystemClockSetter::SetSystemTime(const SystemTime& utc)
{
    const auto seconds = UnixSecondsFromSystemTime(utc);
    if (!seconds || *seconds > std::numeric_limits<std::time_t>::max() ||
        *seconds < std::numeric_limits<std::time_t>::min())
        return false;
    timespec value{};
    value.tv_sec = static_cast<std::time_t>(*seconds);
    value.tv_nsec = static_cast<long>(utc.millisecond) * 1000000L;
    return ::clock_settime(CLOCK_REALTIME, &value) == 0;
}

} // namespace vorlane
