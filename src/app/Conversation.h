#pragma once

#include "net/ClientSocket.h"

namespace vorlane {

class ActivityLog;
class NetworkWait;

// A job that talks over the one client socket, the mail poll or the time synchronization. The
// socket's notifications go to the conversation that opened it; what every conversation does
// with them (log them, keep its step, end the wait) is here, what differs is in its own class.
class Conversation : public ClientSocketHandler
{
public:
    Conversation(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log);

    // A failure with a Windows Sockets number reached the program's failure handler while this
    // conversation owned the socket.
    virtual void MarkFailed() = 0;

    void ClientSocketLookup() final;
    void ClientSocketConnecting() final;
    void ClientSocketConnect() final;
    void ClientSocketRead() final;
    void ClientSocketError(int& errorCode) final;
    void ClientSocketDisconnect() final;
    void ClientSocketEncrypted() final;

protected:
    // The steps the socket reports, in this order.
    virtual void Resolving() = 0;
    virtual void Connecting() = 0;
    virtual void Connected() = 0;
    virtual void DataArrived() = 0;
    // The server closed the connection.
    virtual void Closed() = 0;
    virtual void Encrypted() {}

    ClientSocket& socket_;
    NetworkWait& wait_;
    const ActivityLog& log_;
};

} // namespace vorlane
