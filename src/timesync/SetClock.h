#pragma once

#include "timesync/ClockSetter.h"
#include "timesync/SystemTime.h"
#include "timesync/TimeData.h"

#include <string>

namespace vorlane {

// One datum applied to the clock: the UTC time handed to the setter, whether the setter took it,
// and the log line that says so ("New local time: ..." read after setting, or the permission
// line; a refusal is always taken for missing permission).
struct ClockSetting
{
    SystemTime utc;
    bool accepted = false;
    bool keptByNtp = false; // refused because the system keeps the clock by NTP
    std::string logLine;
};

ClockSetting SetClockFromTimeData(const TimeData& data, ClockSetter& setter);

} // namespace vorlane
