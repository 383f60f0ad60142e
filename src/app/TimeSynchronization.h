#pragma once

#include "app/Conversation.h"
#include "config/Settings.h"
#include "timesync/TimeData.h"
#include "timesync/TimeStep.h"

namespace vorlane {

class ClockSetter;
class Desktop;
class RegistryStore;
class TrayStatus;

// The synchronization of the clock with a time server (RFC 868): whether it is due, the exchange
// of its four bytes over the client socket, the setting of the clock, the messages when it
// fails, and LastSynchronizedAt.
class TimeSynchronization : public Conversation
{
public:
    struct Services
    {
        TrayStatus& tray;
        Desktop& desktop;
        RegistryStore& store;
        ClockSetter& clock;
        int timePort = 37;
    };

    TimeSynchronization(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log,
                        Services services);

    // Synchronizes when it is on and due. Whatever ends the run, the tray shows its mail state
    // again afterwards; a failure of the socket itself abandons the run unrecorded.
    void SynchronizeIfDue(const Settings& settings);
    // "Synchronize time": due now, whatever the interval.
    void SynchronizeNow(const Settings& settings);

    double DaysSinceLastSynchronization() const;
    void WriteLastSynchronizedAt(double dateTime);

    void MarkFailed() override { TimeFailed = true; }

private:
    void Resolving() override { TimeState = TimeStep::Resolving; }
    void Connecting() override { TimeState = TimeStep::Connecting; }
    void Connected() override { TimeState = TimeStep::Connected; }
    void DataArrived() override;
    void Closed() override;

    void SetClockFromTimeData(const TimeData& data);
    void ShowPermissionDenied();
    void ShowTimeError(const std::string& timeServer);

    Services services_;
    TimeStep TimeState = TimeStep::NotStarted;
    bool TimeFailed = false;
    bool TimeDone = false;
    bool ntpTold_ = false; // the user knows that NTP keeps the clock
};

} // namespace vorlane
