#pragma once

#include "mail/MailServer.h"
#include "net/ClientSocket.h"

namespace vorlane {

// Points the socket at an entry's server: its host or address, its port (defaultPort when it
// names none), its security and the certificate the user trusted for it.
void AimSocketAtEntry(ClientSocket& socket, const TMailServer& entry, int defaultPort);

} // namespace vorlane
