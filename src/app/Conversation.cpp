#include "app/Conversation.h"

#include "app/ActivityLog.h"
#include "app/NetworkWait.h"
#include "net/SocketErrors.h"

namespace vorlane {

Conversation::Conversation(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log)
    : socket_(socket), wait_(wait), log_(log)
{}

void Conversation::ClientSocketLookup()
{
    log_.LogMessage("Socket: Resolving hostname");
    Resolving();
    wait_.RetestWait();
}

void Conversation::ClientSocketConnecting()
{
    log_.LogMessage("Socket: Connecting");
    Connecting();
    wait_.RetestWait();
}

void Conversation::ClientSocketConnect()
{
    log_.LogMessage("Socket: Connected");
    if (socket_.Encrypted())
        log_.LogMessage("Socket: TLS established, " + socket_.TlsDescription());
    Connected();
    wait_.RetestWait();
}

void Conversation::ClientSocketRead()
{
    DataArrived();
    wait_.RetestWait();
}

void Conversation::ClientSocketError(int& errorCode)
{
    log_.LogMessage(SocketErrorLogLine(errorCode));
    MarkFailed();
    socket_.Close();
    errorCode = 0;
    wait_.RetestWait();
}

void Conversation::ClientSocketDisconnect()
{
    // The server closed the connection: waiting for the time-out would only hide that.
    Closed();
    wait_.RetestWait();
}

void Conversation::ClientSocketEncrypted()
{
    log_.LogMessage("Socket: TLS established, " + socket_.TlsDescription());
    Encrypted();
    wait_.RetestWait();
}

} // namespace vorlane
