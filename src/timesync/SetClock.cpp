#include "timesync/SetClock.h"

#include "timesync/TimeTexts.h"

namespace vorlane {

ClockSetting SetClockFromTimeData(const TimeData& data, ClockSetter& setter)
{
    ClockSetting result;
    result.utc = SystemTimeFromTimeData(data);
    result.accepted = setter.SetSystemTime(result.utc);
    result.keptByNtp = !result.accepted && setter.ClockKeptByNtp();
    result.logLine = result.accepted    ? NewLocalTimeLine()
                     : result.keptByNtp ? std::string(kNtpKeepsClockLogLine)
                                        : std::string(kPermissionDeniedLogLine);
    return result;
}

} // namespace vorlane
