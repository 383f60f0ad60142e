#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QFrame;
class QLabel;
class QUrl;

namespace vorlane {

class TGradBtn;
class LinkLabel;

// Hands an address to the desktop to open (the web browser, the mail program).
using UrlOpener = std::function<void(const QUrl& url)>;

// The program's maker credit and contact address, unscrambled from their stored form.
std::string MakerCredit();
std::string ContactAddress();
// The web address the about dialog shows.
extern const char* const kWebAddress;

// The about box: the program, its two jobs, its version, the maker, a contact address and a web
// address (both open on a click), and the terms of distribution.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    // Without an opener the links go to QDesktopServices::openUrl.
    explicit TAboutForm(QWidget* parent = nullptr, UrlOpener openUrl = {});
    ~TAboutForm() override;

    QLabel* Image() const { return image_; }
    QLabel* TitleLabel() const { return titleLabel_; }
    QLabel* ReasonLabel() const { return reasonLabel_; }
    QLabel* TimeSynchronizationToolLabel() const { return timeSynchronizationToolLabel_; }
    QLabel* MessageLabel() const { return messageLabel_; }
    QLabel* MadeByTekstLabel() const { return madeByTekstLabel_; }
    QLabel* MadeByLabel() const { return madeByLabel_; }
    QLabel* VersionTekstLabel() const { return versionTekstLabel_; }
    QLabel* VersionLabel() const { return versionLabel_; }
    QLabel* EmailLabel() const { return emailLabel_; }
    LinkLabel* EmailAdressLabel() const { return emailAdressLabel_; }
    QLabel* WwwLabel() const { return wwwLabel_; }
    LinkLabel* URLLabel() const { return urlLabel_; }
    QLabel* Label1() const { return label1_; }
    QFrame* FirstBevel() const { return firstBevel_; }
    TGradBtn* OKGradBtn() const { return okGradBtn_; }

public slots:
    void OKGradBtnClick();
    void URLLabelClick();
    void EmailAdressLabelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    UrlOpener openUrl_;
    QLabel* image_;
    QLabel* titleLabel_;
    QLabel* reasonLabel_;
    QLabel* timeSynchronizationToolLabel_;
    QLabel* messageLabel_;
    QLabel* madeByTekstLabel_;
    QLabel* madeByLabel_;
    QLabel* versionTekstLabel_;
    QLabel* versionLabel_;
    QLabel* emailLabel_;
    LinkLabel* emailAdressLabel_;
    QLabel* wwwLabel_;
    LinkLabel* urlLabel_;
    QLabel* label1_;
    QFrame* firstBevel_;
    TGradBtn* okGradBtn_;
    bool centred_ = false;
};

} // namespace vorlane
