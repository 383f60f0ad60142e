#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <string>
#include <vector>

namespace vorlane::test {

// A TCP server on 127.0.0.1 that plays a script: what real servers do not do on purpose
// (split or lower-case replies, silence, endless lines). It runs on the test's own event loop,
// which the code under test keeps turning while it waits.
class ScriptedServer : public QObject
{
    Q_OBJECT

public:
    class Connection
    {
    public:
        explicit Connection(QTcpSocket* socket) : socket_(socket) {}
        // Each piece goes out in its own write, 20 ms after the one before, so that the client
        // reads them apart.
        void Send(const std::vector<std::string>& pieces);
        void Send(const std::string& text) { Send(std::vector<std::string>{text}); }
        void Close();

    private:
        QTcpSocket* socket_;
    };

    // Called with an empty line when a client connects, then with every line it sends
    // (without CR LF).
    using Script = std::function<void(Connection& connection, const std::string& line)>;

    explicit ScriptedServer(Script script);

    quint16 Port() const { return server_.serverPort(); }
    const std::vector<std::string>& Received() const { return received_; }
    int Connections() const { return connections_; }

    // A POP3 script that answers every command positively: STAT with the given reply, every
    // TOP with the given header lines. Like a server of the time before CAPA, it refuses CAPA.
    static Script Pop3(const std::string& statReply, const std::vector<std::string>& headers = {});
    // The script, with CAPA refused as a server of the time before it refuses it.
    static Script WithoutCapa(Script script);

    // One message of a scripted mailbox of today's kind.
    struct Message
    {
        std::string uid;
        std::string from;
        std::string subject;
    };
    // A POP3 script of a mailbox of today's kind: CAPA announces UIDL and PIPELINING (unless
    // told not to); STAT, UIDL and TOP answer from the messages, which the test may change
    // between polls; commands sent at once are answered in order.
    static Script Pop3Mailbox(const std::vector<Message>& messages, bool pipelining = true);

private:
    QTcpServer server_;
    Script script_;
    std::vector<std::string> received_;
    int connections_ = 0;
};

// A port on 127.0.0.1 that nothing listens on.
quint16 UnusedPort();

} // namespace vorlane::test
