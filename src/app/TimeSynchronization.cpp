#include "app/TimeSynchronization.h"

#include "app/ActivityLog.h"
#include "app/Desktop.h"
#include "app/Finally.h"
#include "app/NetworkWait.h"
#include "app/TrayStatus.h"
#include "config/RegistryStore.h"
#include "timesync/ClockSetter.h"
#include "timesync/LocalClock.h"
#include "timesync/SetClock.h"
#include "timesync/SyncSchedule.h"
#include "timesync/TimeServerAddress.h"
#include "timesync/TimeTexts.h"

#include <utility>

namespace vorlane {

TimeSynchronization::TimeSynchronization(ClientSocket& socket, NetworkWait& wait,
                                         const ActivityLog& log, Services services)
    : Conversation(socket, wait, log), services_(services)
{}

void TimeSynchronization::SynchronizeNow(const Settings& settings)
{
    // Two days back: due with either interval.
    WriteLastSynchronizedAt(LocalDateTimeNow() - 2.0);
    SynchronizeIfDue(settings);
}

void TimeSynchronization::SynchronizeIfDue(const Settings& settings)
{
    if (!settings.SyncronizeTime)
        return;
    if (!IsSynchronizationDue(settings.TimeSynchronizationInterval, DaysSinceLastSynchronization()))
        return;
    log_.LogMessage("Synchronizing time.");
    auto& tray = services_.tray;
    tray.ShowSynchronizingStatus(settings.TimeServer);
    // However the run ends (an empty time server fails at once), the tray leaves the stopwatch.
    const Finally restoreTray([&tray] { tray.UpdateTrayStatus(tray.TrayMailCount()); });
    socket_.SetPort(services_.timePort);
    socket_.SetSecurity(SocketSecurity::None);
    // The time server's own rule: only a text with four full stops is taken as an address; a
    // dotted IPv4 address goes through the name lookup, which returns it as it is.
    if (IsTimeServerAddress(settings.TimeServer))
        socket_.SetAddress(settings.TimeServer);
    else
        socket_.SetHost(settings.TimeServer);
    TimeFailed = false;
    TimeDone = false;
    TimeState = TimeStep::NotStarted;
    wait_.Begin(*this);
    try {
        socket_.Open();
    } catch (...) {
        wait_.End();
        throw; // abandons the run: nothing is recorded, the next tick tries again
    }
    wait_.WaitWhile(
        [this] { return !wait_.TimedOut() && !TimeFailed && !TimeDone && wait_.Running(); });
    wait_.End();
    // A server that keeps the connection open after its four bytes must not keep the socket.
    socket_.Close();
    if ((wait_.TimedOut() || TimeFailed) && !TimeDone)
        ShowTimeError(settings.TimeServer);
    WriteLastSynchronizedAt(LocalDateTimeNow());
}

double TimeSynchronization::DaysSinceLastSynchronization() const
{
    return vorlane::DaysSinceLastSynchronization(services_.store.Read(), LocalDateTimeNow());
}

void TimeSynchronization::WriteLastSynchronizedAt(double dateTime)
{
    vorlane::WriteLastSynchronizedAt(services_.store, dateTime);
}

void TimeSynchronization::DataArrived()
{
    // The four bytes must be readable together; anything else is wrong data.
    const auto readable = socket_.ReceiveLength();
    if (readable == static_cast<qint64>(kTimeDataSize)) {
        TimeData data{};
        socket_.ReceiveBuf(reinterpret_cast<char*>(data.data()), kTimeDataSize);
        SetClockFromTimeData(data);
    } else {
        log_.LogMessage(InvalidDataSizeLine(static_cast<std::size_t>(readable)));
        TimeFailed = true;
        socket_.Close();
    }
}

void TimeSynchronization::Closed()
{
    if (!TimeDone)
        TimeFailed = true;
}

void TimeSynchronization::SetClockFromTimeData(const TimeData& data)
{
    const auto setting = vorlane::SetClockFromTimeData(data, services_.clock);
    log_.LogMessage(setting.logLine);
    if (setting.keptByNtp) {
        if (!std::exchange(ntpTold_, true))
            services_.desktop.ShowMessage(std::string(kNtpKeepsClockMessage));
    } else if (!setting.accepted) {
        ShowPermissionDenied();
    }
    TimeDone = true;
}

void TimeSynchronization::ShowPermissionDenied()
{
    services_.desktop.ShowMessage(std::string(kPermissionDeniedMessage));
}

void TimeSynchronization::ShowTimeError(const std::string& timeServer)
{
    services_.desktop.ShowMessage(ComposeTimeError(timeServer, TimeState, wait_.TimedOut()));
}

} // namespace vorlane
