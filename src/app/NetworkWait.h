#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class QEventLoop;

namespace vorlane {

class ClientSocket;
class Conversation;

// The wait of the one network conversation in progress, a poll or a synchronization: its
// time-out ProtocolTimer, which is also a hard deadline tested whenever the conversation wakes
// up (a server that never stops sending keeps timers waiting), and the nested event loop that
// handles every event while the conversation runs.
class NetworkWait : public QObject
{
    Q_OBJECT

public:
    // The time-out before the first settings load.
    static constexpr int kInitialTimeoutMilliseconds = 15000;

    explicit NetworkWait(ClientSocket& socket);

    // The time-out of the conversations from now on (ConnectionTimeout).
    void SetConnectionTimeout(int seconds);
    int TimeoutMilliseconds() const { return ProtocolTimer.interval(); }

    // A conversation starts: the socket reports to it, TimedOut clears and the time-out runs
    // from now on, not restarted by progress.
    void Begin(Conversation& conversation);
    // The conversation is over; it stays the current one until the next begins.
    void End() { ProtocolTimer.stop(); }
    bool Running() const { return ProtocolTimer.isActive(); }
    bool TimedOut() const { return TimedOut_; }
    Conversation* Current() const { return current_; }

    // Handles events until waiting() turns false, testing it first, after every socket event
    // (RetestWait) and every 200 ms.
    void WaitWhile(const std::function<bool()>& waiting);
    // After every socket event: a passed deadline times the conversation out, then the wait
    // tests its condition anew.
    void RetestWait();
    // The time-out has passed, whether or not its timer could fire yet.
    bool DeadlinePassed() const;
    // What is left of the time-out, for work that waits on its own (the keyring).
    std::chrono::milliseconds RemainingTime() const;
    // The time-out: TimedOut is set and the socket closed.
    void ProtocolTimerTimer();

private:
    ClientSocket& socket_;
    QTimer ProtocolTimer;
    QDeadlineTimer deadline_;
    bool TimedOut_ = false;
    Conversation* current_ = nullptr;
    QEventLoop* waitLoop_ = nullptr;
    std::function<bool()> waitCondition_;
};

} // namespace vorlane
