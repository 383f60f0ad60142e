#pragma once

#include <QMessageBox>
#include <string>

class QAbstractButton;

namespace vorlane {

// The report of a poll that failed on the server's certificate, with the certificate's facts and
// the choice to trust exactly that certificate for the entry, or to close the report.
class CertificateTrustBox : public QMessageBox
{
    Q_OBJECT

public:
    CertificateTrustBox(const std::string& report, const std::string& certificate,
                        QWidget* parent = nullptr);

    QAbstractButton* TrustButton() const { return trust_; }
    // Shown modally: true when the user chose to trust the certificate.
    bool Ask();

private:
    QAbstractButton* trust_;
};

} // namespace vorlane
