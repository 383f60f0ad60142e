#include "app/NetworkWait.h"

#include "app/Conversation.h"
#include "net/ClientSocket.h"

#include <QEventLoop>
#include <utility>

namespace vorlane {

NetworkWait::NetworkWait(ClientSocket& socket) : socket_(socket)
{
    ProtocolTimer.setInterval(kInitialTimeoutMilliseconds);
    // The time-out must end a conversation on time, not within a coarse timer's 5 %.
    ProtocolTimer.setTimerType(Qt::PreciseTimer);
    connect(&ProtocolTimer, &QTimer::timeout, this, &NetworkWait::ProtocolTimerTimer);
}

void NetworkWait::SetConnectionTimeout(int seconds)
{
    ProtocolTimer.setInterval(seconds * 1000);
}

void NetworkWait::Begin(Conversation& conversation)
{
    current_ = &conversation;
    socket_.SetHandler(conversation);
    TimedOut_ = false;
    ProtocolTimer.start();
    deadline_.setRemainingTime(ProtocolTimer.interval(), Qt::PreciseTimer);
}

bool NetworkWait::DeadlinePassed() const
{
    return !TimedOut_ && ProtocolTimer.isActive() && deadline_.hasExpired();
}

std::chrono::milliseconds NetworkWait::RemainingTime() const
{
    return std::chrono::milliseconds(TimedOut_ ? 0 : deadline_.remainingTime());
}

void NetworkWait::ProtocolTimerTimer()
{
    TimedOut_ = true;
    socket_.Close();
    RetestWait();
}

void NetworkWait::WaitWhile(const std::function<bool()>& waiting)
{
    if (!waiting())
        return;
    QEventLoop loop;
    QTimer step;
    step.setInterval(200);
    connect(&step, &QTimer::timeout, &loop, [this] { RetestWait(); });
    auto* const outerLoop = std::exchange(waitLoop_, &loop);
    auto outerCondition = std::exchange(waitCondition_, waiting);
    step.start();
    loop.exec();
    waitLoop_ = outerLoop;
    waitCondition_ = std::move(outerCondition);
}

void NetworkWait::RetestWait()
{
    if (DeadlinePassed())
        ProtocolTimerTimer();
    if (waitLoop_ != nullptr && !waitCondition_())
        waitLoop_->quit();
}

} // namespace vorlane
