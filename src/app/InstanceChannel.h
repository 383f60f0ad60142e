#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

namespace vorlane {

// How a later start of the program reaches the one that runs: a local socket beside the lock
// of the single instance, over which it hands one command word and waits for its receipt.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    // The socket's path: the lock file's, ending in ".socket" instead of ".lock".
    static QString SocketPath(const QString& lockFileName);

    // The running instance listens; a socket file left by one that died is replaced (whoever
    // holds the lock owns the path). False when it cannot listen.
    bool Listen(const QString& socketPath, std::function<void(const std::string&)> onCommand);

    // A later start hands the word over; false when no running instance took it within the
    // time given.
    static bool Send(const QString& socketPath, const std::string& word, int milliseconds);

private:
    QLocalServer server_;
    std::function<void(const std::string&)> onCommand_;
};

} // namespace vorlane
