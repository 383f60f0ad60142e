#pragma once

#include "timesync/SystemTime.h"

namespace vorlane {

// Sets the computer's clock. Behind an interface so that tests never touch the real clock.
class ClockSetter
{
public:
    virtual ~ClockSetter();
    // The time is UTC. False when the clock was not set, for whatever reason.
    virtual bool SetSystemTime(const SystemTime& utc) = 0;
};

// The real clock through clock_settime(CLOCK_REALTIME). Fails without CAP_SYS_TIME, and for
// fields that name no real date and time.
class SystemClockSetter : public ClockSetter
{
public:
    bool SetSystemTime(const SystemTime& utc) override;
};

} // namespace vorlane
