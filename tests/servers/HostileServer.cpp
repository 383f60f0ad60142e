#include "servers/HostileServer.h"

#include <QDeadlineTimer>

namespace vorlane::test {

HostileServer::HostileServer(const std::string& mode)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(VORLANE_TEST_SERVERS "/scripts/hostile_pop3.py"),
                    QString::fromStdString(mode)});
    if (!process_.waitForStarted(10000))
        return;
    const QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && !deadline.hasExpired() &&
           process_.state() == QProcess::Running)
        process_.waitForReadyRead(100);
    port_ = QString::fromLatin1(process_.readLine()).trimmed().toInt();
}

HostileServer::~HostileServer()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill(); // the server started here, ended by its own process id
    process_.waitForFinished(5000);
}

} // namespace vorlane::test
