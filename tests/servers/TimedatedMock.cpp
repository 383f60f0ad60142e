#include "servers/TimedatedMock.h"

#include "servers/NetworkManagerMock.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <stdexcept>

namespace vorlane::test {

namespace {

const QString kService = QStringLiteral("org.freedesktop.timedate1");
const QString kPath = QStringLiteral("/org/freedesktop/timedate1");

} // namespace

bool TimedatedMock::Available(std::string& why)
{
    return NetworkManagerMock::Available(why); // the same bus and the same dbusmock
}

TimedatedMock::TimedatedMock(const QString& busAddress, bool ntp)
    : connectionName_(QStringLiteral("timedated-mock-%1").arg(reinterpret_cast<quintptr>(this)))
{
    running_ =
        StartDbusmock(mock_, busAddress,
                      {"timedated", "--parameters", ntp ? R"({"NTP": true})" : R"({"NTP": false})"},
                      connectionName_, kService);
}

TimedatedMock::~TimedatedMock()
{
    QDBusConnection::disconnectFromBus(connectionName_);
    StopProcess(mock_);
}

void TimedatedMock::RefuseSetTime(const std::string& errorName, const std::string& message)
{
    auto call =
        QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Mock", "AddMethod");
    const auto code =
        "raise dbus.exceptions.DBusException('" + message + "', name='" + errorName + "')";
    call << QStringLiteral("org.freedesktop.timedate1") << QStringLiteral("SetTime")
         << QStringLiteral("xbb") << QString() << QString::fromStdString(code);
    const auto reply = QDBusConnection(connectionName_).call(call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("AddMethod failed: " + reply.errorMessage().toStdString());
}

std::vector<TimedatedMock::SetTimeCall> TimedatedMock::SetTimeCalls() const
{
    auto call = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Mock",
                                               "GetMethodCalls");
    call << QStringLiteral("SetTime");
    const auto reply = QDBusConnection(connectionName_).call(call);
    std::vector<SetTimeCall> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return calls;
    // a(tav): the time of each call and its arguments.
    const auto list = reply.arguments().front().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 when = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> when >> arguments;
        list.endStructure();
        if (arguments.size() == 3)
            calls.push_back(
                {arguments[0].toLongLong(), arguments[1].toBool(), arguments[2].toBool()});
    }
    list.endArray();
    return calls;
}

} // namespace vorlane::test
