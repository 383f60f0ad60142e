#pragma once

#include <QProcess>
#include <QString>
#include <string>
#include <vector>

namespace vorlane::test {

// python3-dbusmock's systemd-timedated template on a bus (a PrivateBus standing in for the system
// bus). It never touches the clock: SetTime is only recorded, or answered as a test says. Ended,
// by its process id, when the object goes.
class TimedatedMock
{
public:
    // ntp: the template's NTP property.
    TimedatedMock(const QString& busAddress, bool ntp);
    TimedatedMock(const TimedatedMock&) = delete;
    TimedatedMock& operator=(const TimedatedMock&) = delete;
    ~TimedatedMock();

    static bool Available(std::string& why);
    bool Running() const { return running_; }

    // SetTime fails with this D-Bus error from now on, as timedated does when NTP keeps the clock
    // or polkit refuses.
    void RefuseSetTime(const std::string& errorName, const std::string& message);
    // The microseconds of every SetTime call, with its "relative" and "interactive" flags.
    struct SetTimeCall
    {
        qint64 microseconds;
        bool relative;
        bool interactive;
    };
    std::vector<SetTimeCall> SetTimeCalls() const;

private:
    QString connectionName_;
    QProcess mock_;
    bool running_ = false;
};

} // namespace vorlane::test
