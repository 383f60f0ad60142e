#include "servers/NetworkManagerMock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QFile>
#include <QMap>
#include <QStandardPaths>
#include <QThread>
#include <QVariantMap>
#include <stdexcept>

namespace {

using ProfileSettings = QMap<QString, QVariantMap>;

} // namespace

Q_DECLARE_METATYPE(ProfileSettings)

namespace vorlane::test {

namespace {

constexpr int kStartMs = 20000;
const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPython = QStringLiteral("/usr/bin/python3");

} // namespace

void StopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

namespace {

bool PythonHasDbusmock()
{
    QProcess probe;
    probe.start(kPython, {"-c", "import dbusmock.templates.networkmanager"});
    return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

} // namespace

bool PrivateBus::Available(std::string& why)
{
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
        why = "dbus-daemon is not installed (package dbus)";
        return false;
    }
    return true;
}

PrivateBus::PrivateBus()
{
    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (!daemon_.waitForStarted(kStartMs))
        return;
    const QDeadlineTimer deadline(kStartMs);
    while (!daemon_.canReadLine() && !deadline.hasExpired() && daemon_.state() == QProcess::Running)
        daemon_.waitForReadyRead(200);
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    StopProcess(daemon_);
}

bool NetworkManagerMock::Available(std::string& why)
{
    if (!PrivateBus::Available(why))
        return false;
    if (!PythonHasDbusmock()) {
        why = "python3-dbusmock is not installed";
        return false;
    }
    return true;
}

NetworkManagerMock::NetworkManagerMock(const QString& busAddress)
    : busAddress_(busAddress),
      connectionName_(QStringLiteral("nm-mock-%1").arg(reinterpret_cast<quintptr>(this)))
{
    qDBusRegisterMetaType<ProfileSettings>();
    running_ = StartDbusmock(mock_, busAddress_, {"networkmanager"}, connectionName_, kService);
}

bool StartDbusmock(QProcess& mock, const QString& busAddress, const QStringList& templateArguments,
                   const QString& connectionName, const QString& service)
{
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", busAddress);
    mock.setProcessEnvironment(environment);
    mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock.setStandardOutputFile(QProcess::nullDevice());
    mock.start(kPython,
               QStringList{"-m", "dbusmock", "--system", "--template"} + templateArguments);
    if (!mock.waitForStarted(kStartMs))
        return false;

    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, connectionName);
    // Ready when the template has claimed the service's name.
    const QDeadlineTimer deadline(kStartMs);
    while (bus.isConnected() && !deadline.hasExpired() && mock.state() == QProcess::Running) {
        if (bus.interface()->isServiceRegistered(service).value())
            return true;
        QThread::msleep(20);
    }
    return false;
}

NetworkManagerMock::~NetworkManagerMock()
{
    QDBusConnection::disconnectFromBus(connectionName_);
    StopProcess(mock_);
}

QString NetworkManagerMock::AddProfile(const std::string& id)
{
    ProfileSettings settings;
    settings[QStringLiteral("connection")] = QVariantMap{
        {QStringLiteral("id"), QString::fromStdString(id)},
        {QStringLiteral("type"), QStringLiteral("gsm")},
    };
    auto call =
        QDBusMessage::createMethodCall(kService, "/org/freedesktop/NetworkManager/Settings",
                                       "org.freedesktop.NetworkManager.Settings", "AddConnection");
    call.setArguments({QVariant::fromValue(settings)});
    const auto reply = QDBusConnection(connectionName_).call(call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("AddConnection failed: " + reply.errorMessage().toStdString());
    return reply.arguments().front().value<QDBusObjectPath>().path();
}

QString NetworkManagerMock::AddActiveConnection(const QString& profilePath, std::uint32_t state)
{
    auto call = QDBusMessage::createMethodCall(kService, "/org/freedesktop/NetworkManager",
                                               "org.freedesktop.DBus.Mock", "AddActiveConnection");
    call.setArguments({QStringList(), profilePath, QStringLiteral("/"),
                       QStringLiteral("active%1").arg(activeCount_++), state});
    const auto reply = QDBusConnection(connectionName_).call(call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("AddActiveConnection failed: " +
                                 reply.errorMessage().toStdString());
    return reply.arguments().front().toString();
}

} // namespace vorlane::test
