#pragma once

#include "mail/CertificateTrust.h"

#include <QSslCertificate>
#include <string>

namespace vorlane {

// The SHA-256 of the certificate's DER form in 64 lower-case hex digits, as entries store it.
std::string CertificateSha256Of(const QSslCertificate& certificate);

// What the user is shown of a certificate before trusting it.
CertificateFacts CertificateFactsOf(const QSslCertificate& certificate);

} // namespace vorlane
