#include "servers/SniHost.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

namespace vorlane::test {

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

} // namespace

bool SniHost::Available(std::string& why)
{
    QProcess probe;
    probe.start(kPython, {"-c", "import dbus, dbus.mainloop.glib; from gi.repository import GLib"});
    if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
        why = "python3-dbus and python3-gi are needed for the StatusNotifierItem host";
        return false;
    }
    return true;
}

SniHost::SniHost()
{
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(kPython, {QStringLiteral(VORLANE_TEST_SERVERS "/scripts/sni_host.py")});
    ready_ = process_.waitForStarted(10000) && ReadLine(10000) == "ready";
}

SniHost::~SniHost()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill(); // started here, ended by its own process id
    process_.waitForFinished(5000);
}

std::string SniHost::ReadLine(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!process_.canReadLine() && !deadline.hasExpired() &&
           process_.state() == QProcess::Running) {
        // The item lives in this process: its D-Bus calls are answered only while events run.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        process_.waitForReadyRead(20);
    }
    if (!process_.canReadLine())
        return {};
    return QString::fromUtf8(process_.readLine()).trimmed().toStdString();
}

bool SniHost::WaitForItem(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!registered_ && !deadline.hasExpired()) {
        const auto line = ReadLine(static_cast<int>(deadline.remainingTime()));
        registered_ = line.starts_with("registered ");
    }
    return registered_;
}

std::string SniHost::Command(const std::string& command, int milliseconds)
{
    process_.write((command + "\n").c_str());
    process_.waitForBytesWritten(1000);
    std::string said;
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        const auto line = ReadLine(static_cast<int>(deadline.remainingTime()));
        if (line == "done " + command)
            return said;
        if (line.starts_with("error "))
            return line;
        if (!line.empty() && !line.starts_with("registered "))
            said = line;
    }
    return "error " + command + " no answer";
}

} // namespace vorlane::test
