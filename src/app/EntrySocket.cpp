#include "app/EntrySocket.h"

namespace vorlane {

namespace {

SocketSecurity SocketSecurityOf(int security)
{
    switch (security) {
    case kSecurityImplicitTls:
        return SocketSecurity::ImplicitTls;
    case kSecuritySTLS:
        return SocketSecurity::StartTls;
    default:
        return SocketSecurity::None;
    }
}

} // namespace

void AimSocketAtEntry(ClientSocket& socket, const TMailServer& entry, int defaultPort)
{
    socket.SetPort(entry.Port != 0 ? entry.Port : defaultPort);
    socket.SetSecurity(SocketSecurityOf(entry.Security));
    socket.SetAddress(entry.IsAddress ? entry.Host : std::string());
    socket.SetHost(entry.IsAddress ? std::string() : entry.Host);
    socket.SetTrustedCertificate(entry.CertificateSha256);
}

} // namespace vorlane
