#include "servers/NotificationDaemon.h"

#include "support/TempDir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <cctype>
#include <sstream>

namespace vorlane::test {

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

bool NotificationDaemon::Available(std::string& why)
{
    QProcess probe;
    probe.start(kPython, {"-c", "import dbusmock.templates.notification_daemon"});
    if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
        why = "python3-dbusmock is not installed";
        return false;
    }
    return true;
}

NotificationDaemon::NotificationDaemon(std::filesystem::path log) : log_(std::move(log))
{
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.setStandardOutputFile(QProcess::nullDevice());
    mock_.start(kPython, {"-m", "dbusmock", "--template", "notification_daemon", "--parameters",
                          R"({"capabilities": "body actions"})", "-l",
                          QString::fromStdString(log_.string())});
    if (!mock_.waitForStarted(20000))
        return;
    // A connection of its own: the program's session bus connection is not made yet.
    auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "notification-probe");
    const QDeadlineTimer deadline(20000);
    while (bus.isConnected() && !deadline.hasExpired() && mock_.state() == QProcess::Running) {
        if (bus.interface()->isServiceRegistered(kService).value()) {
            running_ = true;
            break;
        }
        QThread::msleep(20);
    }
    QDBusConnection::disconnectFromBus("notification-probe");
}

NotificationDaemon::~NotificationDaemon()
{
    if (mock_.state() == QProcess::NotRunning)
        return;
    mock_.kill(); // started here, ended by its own process id
    mock_.waitForFinished(5000);
}

std::vector<std::string> NotificationDaemon::NotifyCalls() const
{
    // A call is a line that begins with its time; a body's line breaks continue the call.
    std::vector<std::string> records;
    std::istringstream lines(ReadFile(log_));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line.front())) &&
            line.find(' ') != std::string::npos)
            records.push_back(line);
        else if (!records.empty())
            records.back() += "\n" + line;
    }
    std::vector<std::string> calls;
    for (const auto& record : records)
        if (const auto at = record.find(" Notify "); at != std::string::npos)
            calls.push_back(record.substr(at + 1));
    return calls;
}

void NotificationDaemon::InvokeAction(unsigned id, const std::string& key)
{
    auto message =
        QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Mock", "EmitSignal");
    message << QStringLiteral("org.freedesktop.Notifications") << QStringLiteral("ActionInvoked")
            << QStringLiteral("us")
            << QVariantList{QVariant::fromValue(QDBusVariant(id)),
                            QVariant::fromValue(QDBusVariant(QString::fromStdString(key)))};
    QDBusConnection::sessionBus().call(message);
}

} // namespace vorlane::test
