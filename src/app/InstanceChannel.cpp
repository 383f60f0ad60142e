#include "app/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <memory>

namespace vorlane {

namespace {

// A word is short; anything longer is not ours.
constexpr qint64 kMaxWordLength = 64;

} // namespace

QString InstanceChannel::SocketPath(const QString& lockFileName)
{
    QString path = lockFileName;
    if (path.endsWith(QStringLiteral(".lock")))
        path.chop(5);
    return path + QStringLiteral(".socket");
}

bool InstanceChannel::Listen(const QString& socketPath,
                             std::function<void(const std::string&)> onCommand)
{
    onCommand_ = std::move(onCommand);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    if (!server_.listen(socketPath))
        return false;
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine()) {
                    if (client->bytesAvailable() > kMaxWordLength)
                        client->abort();
                    return;
                }
                const auto word = client->readLine(kMaxWordLength).trimmed().toStdString();
                client->write("ok\n");
                client->flush();
                client->disconnectFromServer();
                if (onCommand_)
                    onCommand_(word);
            });
        }
    });
    return true;
}

bool InstanceChannel::Send(const QString& socketPath, const std::string& word, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    // The running instance may be starting still: its lock comes before its channel.
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            socket.write((word + "\n").c_str());
            if (socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
                socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return socket.readLine().trimmed() == "ok";
            return false;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

} // namespace vorlane
