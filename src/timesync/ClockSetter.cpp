#include "timesync/ClockSetter.h"

#include "timesync/DateTime.h"

#include <ctime>
#include <limits>

namespace vorlane {

ClockSetter::~ClockSetter() = default;

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
