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

ScriptedServer::Script ScriptedServer::WithoutCapa(Script script)
{
    return [script = std::move(script)](Connection& connection, const std::string& line) {
        if (line.starts_with("CAPA"))
            connection.Send("-ERR Unknown command.\r\n");
        else
            script(connection, line);
    };
}

ScriptedServer::Script ScriptedServer::Pop3Mailbox(const std::vector<Message>& messages,
                                                   bool pipelining)
{
    return [&messages, pipelining](Connection& connection, const std::string& line) {
        std::string reply = "+OK\r\n";
        if (line.empty()) {
            reply = "+OK ready\r\n";
        } else if (line == "CAPA") {
            reply +=
                std::string("TOP\r\nUIDL\r\n") + (pipelining ? "PIPELINING\r\n" : "") + ".\r\n";
        } else if (line == "STAT") {
            reply = "+OK " + std::to_string(messages.size()) + " " +
                    std::to_string(100 * messages.size()) + "\r\n";
        } else if (line == "UIDL") {
            for (std::size_t i = 0; i < messages.size(); ++i)
                reply += std::to_string(i + 1) + " " + messages[i].uid + "\r\n";
            reply += ".\r\n";
        } else if (line.starts_with("TOP ")) {
            const auto number = std::stoul(line.substr(4));
            if (number < 1 || number > messages.size()) {
                reply = "-ERR no such message\r\n";
            } else {
                const auto& message = messages[number - 1];
                reply +=
                    "From: " + message.from + "\r\nSubject: " + message.subject + "\r\n\r\n.\r\n";
            }
        } else if (line == "QUIT") {
            connection.Send("+OK bye\r\n");
            connection.Close();
            return;
        }
        connection.Send(reply);
    };
}

ScriptedServer::Script ScriptedServer::Pop3(const std::string& statReply,
                                            const std::vector<std::string>& headers)
{
    return WithoutCapa([statReply, headers](Connection& connection, const std::string& line) {
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
    });
}

quint16 UnusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort(); // closed again when probe goes
}

} // namespace vorlane::test
