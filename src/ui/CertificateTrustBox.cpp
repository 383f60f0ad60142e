#include "ui/CertificateTrustBox.h"

#include "mail/CertificateTrust.h"
#include "ui/QtText.h"

#include <QPushButton>

namespace vorlane {

CertificateTrustBox::CertificateTrustBox(const std::string& report, const std::string& certificate,
                                         QWidget* parent)
    : QMessageBox(QMessageBox::Warning, QStringLiteral("Vorlane"), Q(report), QMessageBox::NoButton,
                  parent)
{
    setTextFormat(Qt::PlainText);
    setInformativeText(Q(certificate));
    trust_ = addButton(Q(std::string(kTrustCertificateCommand)), QMessageBox::AcceptRole);
    trust_->setToolTip("Accept exactly this certificate for this mail server entry from now on");
    setDefaultButton(addButton(QMessageBox::Close));
}

bool CertificateTrustBox::Ask()
{
    exec();
    return clickedButton() == trust_;
}

} // namespace vorlane
