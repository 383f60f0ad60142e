#pragma once

#include "timesync/ClockSetter.h"

#include <QString>

namespace vorlane {

// Sets the clock through systemd-timedated on the system bus (org.freedesktop.timedate1.SetTime,
// interactive: polkit decides, and may ask the user). For a process that may not set the clock
// itself. A refusal because the system keeps the clock by NTP is told apart.
class TimedatedClockSetter : public ClockSetter
{
public:
    // Waits this long for timedated, which may wait for the user's answer to polkit.
    static constexpr int kCallTimeoutMilliseconds = 120000;

    explicit TimedatedClockSetter(QString busAddress);

    bool SetSystemTime(const SystemTime& utc) override;
    bool ClockKeptByNtp() const override { return keptByNtp_; }

private:
    bool NtpActive(const QString& connectionName) const;

    QString busAddress_;
    bool keptByNtp_ = false;
};

} // namespace vorlane
