#pragma once

#include "timesync/ClockSetter.h"

#include <vector>

namespace vorlane::test {

// A clock setter that only remembers what it was asked to set and answers as told.
class RecordingClockSetter : public ClockSetter
{
public:
    explicit RecordingClockSetter(bool accept = true) : accept_(accept) {}

    bool SetSystemTime(const SystemTime& utc) override
    {
        calls_.push_back(utc);
        return accept_;
    }

    const std::vector<SystemTime>& Calls() const { return calls_; }

private:
    bool accept_;
    std::vector<SystemTime> calls_;
};

} // namespace vorlane::test
