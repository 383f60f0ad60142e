#include "net/PeerCertificate.h"

#include <QCryptographicHash>
#include <QDateTime>

namespace vorlane {

namespace {

std::string Utc(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")).toStdString();
}

} // namespace

std::string CertificateSha256Of(const QSslCertificate& certificate)
{
    return certificate.digest(QCryptographicHash::Sha256).toHex().toStdString();
}

CertificateFacts CertificateFactsOf(const QSslCertificate& certificate)
{
    return {certificate.subjectDisplayName().toStdString(),
            certificate.issuerDisplayName().toStdString(), Utc(certificate.effectiveDate()),
            Utc(certificate.expiryDate()), CertificateSha256Of(certificate)};
}

} // namespace vorlane
