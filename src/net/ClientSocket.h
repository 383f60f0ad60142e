#pragma once

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QSslSocket>
#include <stdexcept>
#include <string>

namespace vorlane {

// A failure the socket raises at once (no address, a target changed while active, an address
// that is not one). Its text carries the Windows Sockets number where there is one.
class SocketException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The notifications of one connection, in this order: lookup (when opening starts, also for a
// numeric address), connecting, connect; then reads; an error (with its Windows Sockets number,
// which the handler may set to 0 to keep the socket from raising it) or a disconnect (the peer
// closed; never an error) ends it.
class ClientSocketHandler
{
public:
    virtual ~ClientSocketHandler() = default;
    virtual void ClientSocketLookup() = 0;
    virtual void ClientSocketConnecting() = 0;
    virtual void ClientSocketConnect() = 0;
    virtual void ClientSocketRead() = 0;
    virtual void ClientSocketError(int& errorCode) = 0;
    virtual void ClientSocketDisconnect() {}
    // The connection is encrypted now (after StartTls).
    virtual void ClientSocketEncrypted() {}
};

// How the socket protects its connection.
enum class SocketSecurity
{
    None,
    StartTls,    // plain at first; StartTls upgrades it
    ImplicitTls, // encrypted from the first byte; "connected" means encrypted
};

// One non-blocking TCP client socket on the Qt event loop that reports what happens as
// notifications. A host name, when not empty, wins over the numeric address.
class ClientSocket : public QObject
{
    Q_OBJECT

public:
    // What the socket takes from the network ahead of its reader: a server that sends faster
    // than the program reads is slowed down by TCP instead of filling the memory.
    static constexpr qint64 kReadBufferSize = 256 * 1024;

    explicit ClientSocket(QObject* parent = nullptr);

    // The notifications of the next connection go to the conversation that opens it.
    void SetHandler(ClientSocketHandler& handler);

    void SetPort(int port);
    void SetHost(const std::string& host);
    void SetAddress(const std::string& address);
    void SetSecurity(SocketSecurity security);
    int Port() const { return port_; }

    // Certificate authorities trusted besides the system's own (tests bring theirs).
    void AddCaCertificates(const QList<QSslCertificate>& certificates);

    // The one server certificate (SHA-256 of its DER form, lower-case hex) that the user trusted
    // for the next connection: exactly that leaf is accepted although it cannot be verified, and
    // any other fails the handshake, however well it verifies. Empty: the usual verification.
    void SetTrustedCertificate(const std::string& sha256);
    // The server's certificate when the last handshake failed because of it (it could not be
    // verified, or it is not the trusted one); null otherwise.
    const QSslCertificate& UntrustedCertificate() const { return untrusted_; }

    // Starts connecting and returns; progress comes as notifications.
    void Open();
    // Ends the connection; no notification of it follows.
    void Close();
    bool Active() const { return active_; }

    // Upgrades the plain connection with a TLS handshake; verification of the certificate chain
    // and host name is never switched off.
    void StartTls();
    bool Encrypted() const { return socket_.isEncrypted(); }
    // "TLSv1.3, TLS_AES_256_GCM_SHA384" once encrypted.
    std::string TlsDescription() const;
    // Why the last handshake failed, in plain words; empty when it did not fail.
    const std::string& TlsFailure() const { return tlsFailure_; }

    void SendText(const std::string& text);
    qint64 ReceiveLength() const;
    std::string ReceiveText();
    // At most maxBytes of what can be read now.
    std::string ReceiveText(qint64 maxBytes);
    qint64 ReceiveBuf(char* buffer, qint64 count);

    // The Windows Sockets number for a Qt socket error.
    static int ErrorNumber(QAbstractSocket::SocketError error, const QString& description);

private:
    void RequireInactive(const char* what) const;
    void OnStateChanged(QAbstractSocket::SocketState state);
    void OnConnected();
    void OnReadyRead();
    void OnError(QAbstractSocket::SocketError error);
    void OnDisconnected();
    void OnEncrypted();
    void OnSslErrors(const QList<QSslError>& errors);
    bool PeerIsTrusted() const;
    void RefuseChangedCertificate();

    ClientSocketHandler* handler_ = nullptr;
    QSslSocket socket_;
    SocketSecurity security_ = SocketSecurity::None;
    std::string tlsFailure_;
    QList<QSslError> sslErrors_;
    std::string trustedSha256_;
    QSslCertificate untrusted_;
    int port_ = 110;
    std::string host_;
    std::string address_;
    bool active_ = false;
};

} // namespace vorlane
