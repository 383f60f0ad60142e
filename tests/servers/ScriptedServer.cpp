#include "servers/ScriptedServer.h"

#include <QPointer>
#include <QTimer>
#include <memory>

namespace vorlane::test {

void ScriptedServer::Connection::Send(const std::vector<std::string>& pieces)
{
    int delay = 0;
    for (const auto& piece : pieces) {
        QPointer<QTcpSocket> socket(socket_);
        QTimer::singleShot(delay, socket_, [socket, piece] {
            if (socket) {
                socket->write(piece.data(), static_cast<qint64>(piece.size()));
                socket->flush();
            }
        });
        delay += 20;
    }
}

void ScriptedServer::Connection::Close()
{
    QPointer<QTcpSocket> socket(socket_);
    QTimer::singleShot(0, socket_, [socket] {
        if (socket)
            socket->disconnectFromHost();
    });
}

ScriptedServer::ScriptedServer(Script script) : script_(std::move(script))
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++connections_;
            auto connection = std::make_shared<Connection>(socket);
            auto buffer = std::make_shared<std::string>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, connection, buffer] {
                const QByteArray data = socket->readAll();
                buffer->append(data.constData(), static_cast<std::size_t>(data.size()));
                std::size_t end;
                while ((end = buffer->find("\r\n")) != std::string::npos) {
                    const std::string line = buffer->substr(0, end);
                    buffer->erase(0, end + 2);
                    received_.push_back(line);
                    script_(*connection, line);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            script_(*connection, {});
        }
    });
}

ScriptedServer::Script ScriptedServer::Pop3(const std::string& statReply,
                                            const std::vector<std::string>& headers)
{
    return [statReply, headers](Connection& connection, const std::string& line) {
        if (line.empty()) {
            connection.Send("+OK ready\r\n");
        } else if (line.starts_with("STAT")) {
            connection.Send(statReply + "\r\n");
        } else if (line.starts_with("TOP")) {
            std::string reply = "+OK\r\n";
            for (const auto& header : headers)
                reply += header + "\r\n";
            connection.Send(reply + "\r\n.\r\n");
        } else if (line.starts_with("QUIT")) {
            connection.Send("+OK bye\r\n");
            connection.Close();
        } else {
            connection.Send("+OK\r\n");
        }
    };
}

quint16 UnusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort(); // closed again when probe goes
}

} // namespace vorlane::test
