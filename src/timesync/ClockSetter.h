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
    // After a refusal: the system keeps the clock by NTP itself, so setting it would only fight.
    virtual bool ClockKeptByNtp() const { return false; }
};

// The direct setter first and, only when it fails (a process without the right to set the
// clock), the second: the system's time service, which may ask the user.
class FallbackClockSetter : public ClockSetter
{
public:
    FallbackClockSetter(ClockSetter& first, ClockSetter& second) : first_(first), second_(second) {}

    bool SetSystemTime(const SystemTime& utc) override;
    bool ClockKeptByNtp() const override { return keptByNtp_; }

private:
    ClockSetter& first_;
    ClockSetter& second_;
    bool keptByNtp_ = false;
};

// The real clock through clock_settime(CLOCK_REALTIME). Fails without CAP_SYS_TIME, and for
// fields that name no real date and time.
class SystemClockSetter : public ClockSetter
{
public:
    bool SetSystemTime(const SystemTime& utc) override;
};

} // namespace vorlane
