#include "net/TimedatedClockSetter.h"

#include "timesync/DateTime.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace vorlane {

namespace {

const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");
const QString kInterface = QStringLiteral("org.freedesktop.timedate1");

// Disconnects the bus connection of one request whatever ends it.
struct BusConnection
{
    QString name;
    explicit BusConnection(const QString& address)
        : name(QStringLiteral("vorlane-timedated-%1").arg(reinterpret_cast<quintptr>(this)))
    {
        QDBusConnection::connectToBus(address, name);
    }
    ~BusConnection() { QDBusConnection::disconnectFromBus(name); }
    QDBusConnection Bus() const { return QDBusConnection(name); }
};

} // namespace

TimedatedClockSetter::TimedatedClockSetter(QString busAddress) : busAddress_(std::move(busAddress))
{}

bool TimedatedClockSetter::SetSystemTime(const SystemTime& utc)
{
    keptByNtp_ = false;
    const auto seconds = UnixSecondsFromSystemTime(utc);
    if (!seconds)
        return false;
    const BusConnection connection(busAddress_);
    if (!connection.Bus().isConnected())
        return false;
    auto call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "SetTime");
    const qint64 microseconds =
        static_cast<qint64>(*seconds) * 1000000 + static_cast<qint64>(utc.millisecond) * 1000;
    call << QVariant::fromValue(microseconds) << false << true; // absolute, interactive
    call.setInteractiveAuthorizationAllowed(true);
    const auto reply = connection.Bus().call(call, QDBus::Block, kCallTimeoutMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    keptByNtp_ =
        reply.errorName() == QStringLiteral("org.freedesktop.timedate1.AutomaticTimeSyncEnabled") ||
        NtpActive(connection.name);
    return false;
}

bool TimedatedClockSetter::NtpActive(const QString& connectionName) const
{
    auto get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("NTP");
    const auto reply = QDBusConnection(connectionName).call(get, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().front().value<QDBusVariant>().variant().toBool();
}

} // namespace vorlane
