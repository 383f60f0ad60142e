#include "net/ClientSocket.h"

#include "net/PeerCertificate.h"
#include "net/SocketErrors.h"

#include <QHostAddress>
#include <QSslCipher>
#include <QSslConfiguration>

namespace vorlane {

namespace {

[[noreturn]] void RaiseSocketError(const char* description, int number, const char* api)
{
    throw SocketException(std::string("Windows socket error: ") + description + " (" +
                          std::to_string(number) + "), on API '" + api + "'");
}

// Windows reports certificate problems with these numbers; the log shows them like any other.
constexpr unsigned kCertNameMismatch = 0x800B010F;   // CERT_E_CN_NO_MATCH
constexpr unsigned kCertExpired = 0x800B0101;        // CERT_E_EXPIRED
constexpr unsigned kCertUntrustedRoot = 0x800B0109;  // CERT_E_UNTRUSTEDROOT
constexpr unsigned kCertRevoked = 0x80092010;        // CRYPT_E_REVOKED
constexpr unsigned kTlsHandshakeFailed = 0x80090326; // SEC_E_ILLEGAL_MESSAGE

int TlsErrorNumber(const QList<QSslError>& errors)
{
    for (const auto& error : errors) {
        switch (error.error()) {
        case QSslError::HostNameMismatch:
            return static_cast<int>(kCertNameMismatch);
        case QSslError::CertificateExpired:
        case QSslError::CertificateNotYetValid:
            return static_cast<int>(kCertExpired);
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            return static_cast<int>(kCertUntrustedRoot);
        case QSslError::CertificateRevoked:
            return static_cast<int>(kCertRevoked);
        default:
            break;
        }
    }
    return static_cast<int>(kTlsHandshakeFailed);
}

// The reasons in plain words, as the TLS library gives them.
std::string TlsFailureText(const QList<QSslError>& errors, const QString& fallback)
{
    QStringList reasons;
    for (const auto& error : errors)
        if (!reasons.contains(error.errorString()))
            reasons << error.errorString();
    return (reasons.isEmpty() ? fallback : reasons.join(QStringLiteral("; "))).toStdString();
}

} // namespace

ClientSocket::ClientSocket(QObject* parent) : QObject(parent)
{
    connect(&socket_, &QAbstractSocket::stateChanged, this, &ClientSocket::OnStateChanged);
    connect(&socket_, &QAbstractSocket::connected, this, &ClientSocket::OnConnected);
    connect(&socket_, &QIODevice::readyRead, this, &ClientSocket::OnReadyRead);
    connect(&socket_, &QAbstractSocket::errorOccurred, this, &ClientSocket::OnError);
    connect(&socket_, &QAbstractSocket::disconnected, this, &ClientSocket::OnDisconnected);
    connect(&socket_, &QSslSocket::encrypted, this, &ClientSocket::OnEncrypted);
    connect(&socket_, &QSslSocket::sslErrors, this, &ClientSocket::OnSslErrors);
    socket_.setReadBufferSize(kReadBufferSize);
}

void ClientSocket::SetHandler(ClientSocketHandler& handler)
{
    RequireInactive("handler");
    handler_ = &handler;
}

void ClientSocket::SetSecurity(SocketSecurity security)
{
    RequireInactive("security");
    security_ = security;
}

void ClientSocket::AddCaCertificates(const QList<QSslCertificate>& certificates)
{
    auto configuration = socket_.sslConfiguration();
    configuration.addCaCertificates(certificates);
    socket_.setSslConfiguration(configuration);
}

void ClientSocket::SetTrustedCertificate(const std::string& sha256)
{
    RequireInactive("trusted certificate");
    trustedSha256_ = sha256;
}

bool ClientSocket::PeerIsTrusted() const
{
    return !trustedSha256_.empty() && !socket_.peerCertificate().isNull() &&
           CertificateSha256Of(socket_.peerCertificate()) == trustedSha256_;
}

void ClientSocket::RefuseChangedCertificate()
{
    untrusted_ = socket_.peerCertificate();
    tlsFailure_ = CertificateChangedSentence(trustedSha256_);
    int number = static_cast<int>(kCertUntrustedRoot);
    handler_->ClientSocketError(number);
    if (number != 0) {
        Close();
        RaiseSocketError("The server's certificate is not the trusted one.", number, "connect");
    }
}

void ClientSocket::StartTls()
{
    if (active_)
        socket_.startClientEncryption();
}

std::string ClientSocket::TlsDescription() const
{
    const auto cipher = socket_.sessionCipher();
    return (cipher.protocolString() + QStringLiteral(", ") + cipher.name()).toStdString();
}

void ClientSocket::OnEncrypted()
{
    if (!active_)
        return;
    // A certificate that verifies is still refused when the user trusted another one for this
    // entry: the change must be seen before the login goes out.
    if (!trustedSha256_.empty() && !PeerIsTrusted()) {
        RefuseChangedCertificate();
        return;
    }
    if (security_ == SocketSecurity::ImplicitTls)
        handler_->ClientSocketConnect(); // the connection is usable only now
    else
        handler_->ClientSocketEncrypted();
}

void ClientSocket::OnSslErrors(const QList<QSslError>& errors)
{
    // Exactly these errors of exactly the certificate the user trusted are let pass; anything
    // else is not ignored: the handshake fails after this, and its error tells the reasons.
    sslErrors_ = errors;
    if (PeerIsTrusted())
        socket_.ignoreSslErrors(errors);
    else
        untrusted_ = socket_.peerCertificate(); // for the choice to trust it
}

void ClientSocket::RequireInactive(const char* what) const
{
    if (active_)
        throw SocketException(std::string("Cannot change the ") + what + " of an active socket");
}

void ClientSocket::SetPort(int port)
{
    RequireInactive("port");
    port_ = port;
}

void ClientSocket::SetHost(const std::string& host)
{
    RequireInactive("host");
    host_ = host;
}

void ClientSocket::SetAddress(const std::string& address)
{
    RequireInactive("address");
    address_ = address;
}

void ClientSocket::Open()
{
    if (active_)
        return;
    // A report of this connection must never show the reasons of the one before.
    tlsFailure_.clear();
    sslErrors_.clear();
    untrusted_ = QSslCertificate();
    if (handler_ == nullptr)
        throw SocketException("No conversation owns the socket");
    if (host_.empty() && address_.empty())
        throw SocketException("No address specified");
    QHostAddress address;
    if (host_.empty() && (!address.setAddress(QString::fromStdString(address_)) ||
                          address.protocol() != QAbstractSocket::IPv4Protocol))
        RaiseSocketError("The requested address is not valid in its context.", 10049, "connect");

    active_ = true;
    handler_->ClientSocketLookup();
    if (!active_)
        return; // the handler closed it
    const QString target = host_.empty() ? address.toString() : QString::fromStdString(host_);
    if (security_ == SocketSecurity::ImplicitTls)
        socket_.connectToHostEncrypted(target, static_cast<quint16>(port_));
    else
        socket_.connectToHost(target, static_cast<quint16>(port_));
}

void ClientSocket::Close()
{
    if (!active_)
        return;
    active_ = false;
    socket_.abort();
}

void ClientSocket::SendText(const std::string& text)
{
    if (active_)
        socket_.write(text.data(), static_cast<qint64>(text.size()));
}

qint64 ClientSocket::ReceiveLength() const
{
    return socket_.bytesAvailable();
}

std::string ClientSocket::ReceiveText()
{
    const QByteArray data = socket_.readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

std::string ClientSocket::ReceiveText(qint64 maxBytes)
{
    const QByteArray data = socket_.read(maxBytes);
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

qint64 ClientSocket::ReceiveBuf(char* buffer, qint64 count)
{
    return socket_.read(buffer, count);
}

void ClientSocket::OnStateChanged(QAbstractSocket::SocketState state)
{
    if (active_ && state == QAbstractSocket::ConnectingState)
        handler_->ClientSocketConnecting();
}

void ClientSocket::OnConnected()
{
    if (active_ && security_ != SocketSecurity::ImplicitTls)
        handler_->ClientSocketConnect();
}

void ClientSocket::OnReadyRead()
{
    if (active_)
        handler_->ClientSocketRead();
}

void ClientSocket::OnError(QAbstractSocket::SocketError error)
{
    // The peer closing the connection is the disconnect notification, not an error.
    if (!active_ || error == QAbstractSocket::RemoteHostClosedError)
        return;
    int number = ErrorNumber(error, socket_.errorString());
    if (error == QAbstractSocket::SslHandshakeFailedError ||
        error == QAbstractSocket::SslInternalError ||
        error == QAbstractSocket::SslInvalidUserDataError) {
        tlsFailure_ = TlsFailureText(sslErrors_, socket_.errorString());
        number = TlsErrorNumber(sslErrors_);
        if (!untrusted_.isNull() && !trustedSha256_.empty())
            tlsFailure_ = CertificateChangedSentence(trustedSha256_) + " " + tlsFailure_;
    }
    handler_->ClientSocketError(number);
    if (number != 0) {
        Close();
        RaiseSocketError(socket_.errorString().toStdString().c_str(), number, "connect");
    }
}

void ClientSocket::OnDisconnected()
{
    if (!active_)
        return;
    active_ = false;
    handler_->ClientSocketDisconnect();
}

int ClientSocket::ErrorNumber(QAbstractSocket::SocketError error, const QString& description)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return WSAECONNREFUSED;
    case QAbstractSocket::HostNotFoundError:
        return WSAHOST_NOT_FOUND;
    case QAbstractSocket::SocketTimeoutError:
        return WSAETIMEDOUT;
    case QAbstractSocket::SocketResourceError:
        return WSAENOBUFS;
    case QAbstractSocket::SocketAccessError:
        return 10013; // WSAEACCES
    case QAbstractSocket::AddressInUseError:
        return 10048; // WSAEADDRINUSE
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049; // WSAEADDRNOTAVAIL
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045; // WSAEOPNOTSUPP
    case QAbstractSocket::NetworkError:
        // Qt folds several system errors into this one and tells them apart only in words.
        if (description.contains(QLatin1String("Host unreachable"), Qt::CaseInsensitive))
            return WSAEHOSTUNREACH;
        if (description.contains(QLatin1String("Network unreachable"), Qt::CaseInsensitive))
            return WSAENETUNREACH;
        if (description.contains(QLatin1String("timed out"), Qt::CaseInsensitive))
            return WSAETIMEDOUT;
        return WSAENETDOWN;
    default:
        return WSAECONNABORTED;
    }
}

} // namespace vorlane
