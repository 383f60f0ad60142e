#include "ui/AboutForm.h"

#include "config/PasswordScrambler.h"
#include "ui/DefaultButton.h"
#include "ui/DialogButtons.h"
#include "ui/DialogUnits.h"
#include "ui/FixedDialog.h"
#include "ui/LinkLabel.h"
#include "ui/ProgramIcon.h"
#include "ui/QtText.h"
#include "ui/gradbtn/GradBtn.h"
#include "util/Version.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QUrl>

namespace vorlane {

namespace {

constexpr int kClientWidth = 359;
constexpr int kClientHeight = 261;

// Kept scrambled (the password scrambling) so that they do not stand in the program as plain
// text: "The Vorlane developers" and "vorlane@users.noreply.invalid".
constexpr char kScrambledCredit[] = "\x19\x1B\x35\x1F\x21\x27\x35\x13\x35\x37\xBF\x35\x23\x3D"
                                    "\x27\x1B\x21\x53\xBF\x35\x2F\x57";
constexpr char kScrambledAddress[] = "\x37\x2D\x27\x3D\x13\x23\x2D\xA3\x0D\x27\x1F\x35\x1B\x21"
                                     "\x23\xA3\x19\x1B\x35\x19\x15\x7F\x35\x23\x3D\x27\x1B\x21"
                                     "\x13";

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y)
{
    const DialogUnits units;
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(units.Point(x, y));
    label->adjustSize();
    return label;
}

} // namespace

const char* const kWebAddress = "https://vorlane.invalid/";

std::string MakerCredit()
{
    return UnscramblePassword({kScrambledCredit, sizeof kScrambledCredit - 1});
}

std::string ContactAddress()
{
    return UnscramblePassword({kScrambledAddress, sizeof kScrambledAddress - 1});
}

TAboutForm::TAboutForm(QWidget* parent, UrlOpener openUrl)
    : QDialog(parent, kFixedDialogFlags), openUrl_(std::move(openUrl))
{
    const DialogUnits units;
    if (!openUrl_)
        openUrl_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    SetUpFixedDialog(*this, "About Vorlane", kClientWidth, kClientHeight);

    image_ = new QLabel(this);
    image_->setGeometry(units.Rect(8, 8, 16, 16));
    image_->setPixmap(QPixmap::fromImage(ProgramIconImage(16)));

    titleLabel_ = MakeLabel(this, "Vorlane", 48, 8);
    QFont titleFont = ScaledApplicationFont(10);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    titleLabel_->setFont(titleFont);
    titleLabel_->adjustSize();

    reasonLabel_ = MakeLabel(this, "POP3 Mail checker.", 48, 28);
    timeSynchronizationToolLabel_ = MakeLabel(this, "Time synchronization tool.", 48, 40);

    messageLabel_ = new QLabel(
        "Allows you to check for new mail at multiple POP3 Servers and synchronize your systems "
        "time with that of a time-server on the internet.",
        this);
    messageLabel_->setWordWrap(true);
    messageLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    messageLabel_->setGeometry(units.Rect(8, 60, 329, 65));

    madeByTekstLabel_ = MakeLabel(this, "Made by:", 8, 116);
    madeByLabel_ = MakeLabel(this, QString(), 64, 116);
    versionTekstLabel_ = MakeLabel(this, "Version:", 8, 132);
    versionLabel_ = MakeLabel(this, QString(), 64, 132);
    emailLabel_ = MakeLabel(this, "E-mail:", 8, 148);
    emailAdressLabel_ = new LinkLabel(this);
    emailAdressLabel_->move(units.Point(64, 148));
    emailAdressLabel_->setToolTip("Stuur eens een mailtje vind ik leuk.");
    wwwLabel_ = MakeLabel(this, "Www:", 8, 164);
    urlLabel_ = new LinkLabel(this);
    urlLabel_->setText(kWebAddress);
    urlLabel_->setGeometry(
        QRect(units.Point(64, 164), QSize(units.X(286), urlLabel_->sizeHint().height())));

    label1_ = new QLabel("Vorlane is distributed free of charge and comes without any warranty. "
                         "You may use it and pass it on unchanged; see the documentation that "
                         "came with it for the terms of distribution.",
                         this);
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1_->setGeometry(units.Rect(8, 184, 341, 45));

    firstBevel_ = new QFrame(this);
    firstBevel_->setGeometry(units.Rect(0, 232, 361, 2));
    firstBevel_->setFrameShape(QFrame::HLine);
    firstBevel_->setFrameShadow(QFrame::Sunken);

    okGradBtn_ = AddAluminumButton(this, units.Rect(144, 236, 75, 25), this,
                                   &TAboutForm::OKGradBtnClick, "OK", "Times New Roman");
    MakeDefaultButton(*this, *okGradBtn_);
    connect(urlLabel_, &LinkLabel::clicked, this, &TAboutForm::URLLabelClick);
    connect(emailAdressLabel_, &LinkLabel::clicked, this, &TAboutForm::EmailAdressLabelClick);

    FormCreate();
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormCreate()
{
    const DialogUnits units;
    madeByLabel_->setText(Q(MakerCredit()));
    madeByLabel_->resize(units.X(153), madeByLabel_->sizeHint().height());
    emailAdressLabel_->setText(Q(ContactAddress()));
    emailAdressLabel_->adjustSize();
    versionLabel_->setText(Q(GetVersionString()));
    versionLabel_->adjustSize();
}

void TAboutForm::OKGradBtnClick()
{
    accept();
}

void TAboutForm::URLLabelClick()
{
    openUrl_(QUrl(urlLabel_->text()));
}

void TAboutForm::EmailAdressLabelClick()
{
    openUrl_(QUrl("mailto:" + emailAdressLabel_->text()));
}

void TAboutForm::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
    okGradBtn_->SetFocus();
}

} // namespace vorlane
