#include "servers/GnomeKeyring.h"

#include "servers/NetworkManagerMock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

namespace vorlane::test {

namespace {

const QString kSecrets = QStringLiteral("org.freedesktop.secrets");

} // namespace

bool GnomeKeyring::Available(std::string& why)
{
    if (QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty()) {
        why = "gnome-keyring-daemon is not installed (package gnome-keyring)";
        return false;
    }
    if (QStandardPaths::findExecutable("secret-tool").isEmpty()) {
        why = "secret-tool is not installed (package libsecret-tools)";
        return false;
    }
    // Only the test's own bus: the real user's keyring is never touched.
    if (std::getenv("VORLANE_PRIVATE_SESSION_BUS") == nullptr) {
        why = "not on a private session bus (run through ctest, which uses dbus-run-session)";
        return false;
    }
    return true;
}

GnomeKeyring::GnomeKeyring()
{
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.setStandardOutputFile(QProcess::nullDevice());
    daemon_.start(QStringLiteral("gnome-keyring-daemon"),
                  {"--foreground", "--unlock", "--components=secrets"});
    if (!daemon_.waitForStarted(20000))
        return;
    // --unlock reads the login keyring's password from its input, creating the keyring.
    daemon_.write(kKeyringPassword);
    daemon_.waitForBytesWritten(5000); // no event loop runs here to write it later
    daemon_.closeWriteChannel();
    const QDeadlineTimer deadline(20000);
    auto bus = QDBusConnection::sessionBus();
    while (!deadline.hasExpired() && daemon_.state() == QProcess::Running) {
        if (bus.interface()->isServiceRegistered(kSecrets).value()) {
            running_ = true;
            return;
        }
        QThread::msleep(20);
    }
}

GnomeKeyring::~GnomeKeyring()
{
    Stop();
}

void GnomeKeyring::Stop()
{
    running_ = false;
    if (daemon_.state() == QProcess::NotRunning)
        return;
    Resume();
    StopProcess(daemon_);
}

void GnomeKeyring::Pause()
{
    if (daemon_.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(daemon_.processId()), SIGSTOP);
}

void GnomeKeyring::Resume()
{
    if (daemon_.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(daemon_.processId()), SIGCONT);
}

void GnomeKeyring::Lock()
{
    auto call = QDBusMessage::createMethodCall(kSecrets, QStringLiteral("/org/freedesktop/secrets"),
                                               QStringLiteral("org.freedesktop.Secret.Service"),
                                               QStringLiteral("Lock"));
    call << QVariant::fromValue(
        QList<QDBusObjectPath>{QDBusObjectPath("/org/freedesktop/secrets/collection/login")});
    const auto reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("Lock failed: " + reply.errorMessage().toStdString());
}

std::string GnomeKeyring::Lookup(const std::string& service, const std::string& user) const
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"), {"lookup", "server", QString::fromStdString(service),
                                               "user", QString::fromStdString(user)});
    tool.waitForFinished(20000);
    return tool.readAllStandardOutput().toStdString();
}

} // namespace vorlane::test
