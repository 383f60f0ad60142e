#include "timesync/SetClock.h"

#include "timesync/TimeTexts.h"

namespace vorlane {

ClockSetting SetClockFromTimeData(const TimeData& data, ClockSetter& setter)
{
    ClockSetting result;
    result.utc = SystemTimeFromTimeData(data);
    result.accepted = setter.SetSystemTime(result.utc);
    result.logLine = result.accepted ? NewLocalTimeLine() : std::string(kPermissionDeniedLogLine);
    return result;
}

} // namespace vorlane
