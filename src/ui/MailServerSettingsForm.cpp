#include "ui/MailServerSettingsForm.h"

#include "ui/DialogButtons.h"
#include "ui/GradBtn.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "util/WholeNumber.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace vorlane {

namespace {

constexpr int kClientWidth = 218;
constexpr int kClientHeight = 151;
constexpr int kLabelLeft = 8;
constexpr int kFieldLeft = 92;
constexpr int kFieldWidth = 118;
constexpr int kFieldHeight = 20;

std::string Text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

} // namespace

TMailServerSettingsForm::TMailServerSettingsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle("Mail server settings");
    setFont(QFont("Verdana", 8));
    setFixedSize(kClientWidth, kClientHeight);

    serverNameEdit_ = AddField(6, "&Server name:", "Friendly name for this mailserver");
    userNameEdit_ = AddField(27, "&Username:", "Username to use for this mailserver");
    passwordEdit_ = AddField(48, "&Password:", "Password to use for this mailserver");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the style's own choice.
    passwordEdit_->setStyleSheet("lineedit-password-character: 42");
    pop3ServerEdit_ = AddField(69, "P&OP3 Server:", "'IP adres' or 'DNS name' of this mailserver");
    intervalEdit_ = AddField(90, "&Interval:", "Duration between mail checks");
    intervalEdit_->resize(50, kFieldHeight);
    intervalEdit_->installEventFilter(this);

    intervalUpDown_ = new TUpDown(this);
    intervalUpDown_->setGeometry(kFieldLeft + 50, 90, 16, kFieldHeight);
    intervalUpDown_->SetAssociate(intervalEdit_);
    // The spin control's minimum is 1; the entry dialog's own rules repair anything typed.
    intervalUpDown_->SetRange(1, 32000);
    intervalUpDown_->SetPosition(10);

    minutesLabel_ = new QLabel("[min]", this);
    minutesLabel_->move(kFieldLeft + 70, 93);
    minutesLabel_->adjustSize();

    bevel_ = new QFrame(this);
    bevel_->setGeometry(0, 116, kClientWidth, 2);
    bevel_->setFrameShape(QFrame::HLine);
    bevel_->setFrameShadow(QFrame::Sunken);

    okGradBtn_ = MakeAluminumButton(this, "OK", "Verdana", "Save changes and exit");
    okGradBtn_->setGeometry(26, 123, 75, 22);
    cancelGradBtn_ = MakeAluminumButton(this, "Cancel", "Verdana", "Lose changes and exit");
    cancelGradBtn_->setGeometry(117, 123, 75, 22);
    connect(okGradBtn_, &TGradBtn::OnClick, this, &TMailServerSettingsForm::OKGradBtnClick);
    connect(cancelGradBtn_, &TGradBtn::OnClick, this, &TMailServerSettingsForm::CancelGradBtnClick);

    for (auto* edit : {serverNameEdit_, userNameEdit_, pop3ServerEdit_})
        connect(edit, &QLineEdit::textChanged, this, &TMailServerSettingsForm::UpdateOKButton);

    setTabOrder(okGradBtn_, cancelGradBtn_);
    setTabOrder(cancelGradBtn_, serverNameEdit_);
    setTabOrder(serverNameEdit_, userNameEdit_);
    setTabOrder(userNameEdit_, passwordEdit_);
    setTabOrder(passwordEdit_, pop3ServerEdit_);
    setTabOrder(pop3ServerEdit_, intervalEdit_);

    intervalEdit_->setText("10");
    UpdateOKButton();
}

TMailServerSettingsForm::~TMailServerSettingsForm() = default;

QLineEdit* TMailServerSettingsForm::AddField(int top, const char* label, const char* hint)
{
    auto* edit = new QLineEdit(this);
    edit->setGeometry(kFieldLeft, top, kFieldWidth, kFieldHeight);
    edit->setToolTip(hint);
    auto* caption = new QLabel(label, this);
    caption->move(kLabelLeft, top + 3);
    caption->adjustSize();
    caption->setBuddy(edit);
    return edit;
}

void TMailServerSettingsForm::ResetFields()
{
    serverNameEdit_->clear();
    userNameEdit_->clear();
    passwordEdit_->clear();
    pop3ServerEdit_->clear();
    intervalEdit_->setText("10");
    okGradBtn_->setEnabled(false);
}

void TMailServerSettingsForm::UpdateOKButton()
{
    okGradBtn_->setEnabled(
        EntryComplete(Text(serverNameEdit_), Text(userNameEdit_), Text(pop3ServerEdit_)));
}

void TMailServerSettingsForm::SetServerNameReadOnly(bool readOnly)
{
    serverNameEdit_->setReadOnly(readOnly);
    // The button-face colour tells the user the name cannot be typed into.
    QPalette palette = serverNameEdit_->palette();
    palette.setColor(QPalette::Base, readOnly ? palette.color(QPalette::Button)
                                              : this->palette().color(QPalette::Base));
    serverNameEdit_->setPalette(palette);
}

void TMailServerSettingsForm::IntervalEditEnter()
{
    const auto text = Text(intervalEdit_);
    lastAcceptedInterval_ = AcceptedIntervalOnEntering(text);
    if (!ParseWholeNumber(text))
        intervalEdit_->setText(QString::number(lastAcceptedInterval_));
}

void TMailServerSettingsForm::IntervalEditExit()
{
    const auto text = Text(intervalEdit_);
    lastAcceptedInterval_ = AcceptedNumberOnLeaving(text, lastAcceptedInterval_);
    if (!IsNumberAboveZero(text))
        intervalEdit_->setText(QString::number(lastAcceptedInterval_));
}

void TMailServerSettingsForm::OKGradBtnClick()
{
    IntervalEditExit();
    done(mrOk);
}

void TMailServerSettingsForm::CancelGradBtnClick()
{
    done(mrCancel);
}

void TMailServerSettingsForm::reject()
{
    done(mrCancel);
}

bool TMailServerSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == intervalEdit_) {
        if (event->type() == QEvent::FocusIn)
            IntervalEditEnter();
        else if (event->type() == QEvent::FocusOut)
            IntervalEditExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TMailServerSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    serverNameEdit_->setFocus();
}

} // namespace vorlane
