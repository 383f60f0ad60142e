#include "ui/MailServerSettingsForm.h"

#include "mail/MailServer.h"
#include "ui/DefaultButton.h"
#include "ui/DialogButtons.h"
#include "ui/DialogUnits.h"
#include "ui/EntryNotes.h"
#include "ui/FixedDialog.h"
#include "ui/QtText.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "ui/WholeNumberField.h"
#include "ui/gradbtn/GradBtn.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <tuple>

namespace vorlane {

namespace {

constexpr int kClientWidth = 218;
// Four rows taller than the plain POP3 dialog, for the protocol, the security, the port and
// the IMAP folder.
constexpr int kRowStep = 21;
constexpr int kClientHeight = 151 + 4 * kRowStep;
const char* const kPop3ServerCaption = "P&OP3 Server:";
const char* const kImapServerCaption = "IM&AP Server:";
constexpr int kLabelLeft = 8;
constexpr int kFieldLeft = 92;
constexpr int kFieldWidth = 118;
constexpr int kFieldHeight = 20;

} // namespace

TMailServerSettingsForm::TMailServerSettingsForm(QWidget* parent)
    : QDialog(parent, kFixedDialogFlags)
{
    const DialogUnits units;
    SetUpFixedDialog(*this, "Mail server settings", kClientWidth, kClientHeight);

    serverNameEdit_ = AddField(6, "&Server name:", "Friendly name for this mailserver");
    userNameEdit_ = AddField(27, "&Username:", "Username to use for this mailserver");
    passwordEdit_ = AddField(48, "&Password:", "Password to use for this mailserver");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the style's own choice.
    passwordEdit_->setStyleSheet("lineedit-password-character: 42");
    pop3ServerEdit_ = AddField(69, kPop3ServerCaption,
                               "'IP adres' or 'DNS name' of this mailserver", &serverCaption_);

    constexpr int protocolTop = 69 + kRowStep;
    protocolComboBox_ = new QComboBox(this);
    protocolComboBox_->setGeometry(units.Rect(kFieldLeft, protocolTop, kFieldWidth, kFieldHeight));
    // In the order of MailProtocol.
    for (const auto protocol : {MailProtocol::Pop3, MailProtocol::Imap})
        protocolComboBox_->addItem(Q(std::string(ProtocolName(protocol))));
    protocolComboBox_->setToolTip("How this mailserver is asked for new mail");
    AddCaption(protocolTop, "Pro&tocol:", protocolComboBox_);

    constexpr int securityTop = protocolTop + kRowStep;
    securityComboBox_ = new QComboBox(this);
    securityComboBox_->setGeometry(units.Rect(kFieldLeft, securityTop, kFieldWidth, kFieldHeight));
    // In the order of the stored values: 0 none, 1 STLS, 2 implicit TLS.
    securityComboBox_->addItem("None");
    securityComboBox_->addItem("STARTTLS (STLS)");
    securityComboBox_->addItem("SSL/TLS");
    securityComboBox_->setItemData(0, "Plain text, password included", Qt::ToolTipRole);
    securityComboBox_->setItemData(1, "Plain connection upgraded to TLS before logging in",
                                   Qt::ToolTipRole);
    securityComboBox_->setItemData(2, "TLS from the first byte", Qt::ToolTipRole);
    securityComboBox_->setToolTip("How the connection to this mailserver is secured");
    AddCaption(securityTop, "S&ecurity:", securityComboBox_);
    portEdit_ = AddField(securityTop + kRowStep, "Po&rt:", "TCP port of this mailserver");
    portEdit_->resize(units.Size(50, kFieldHeight));
    portEdit_->setMaxLength(5);
    portField_ =
        new WholeNumberField(portEdit_, DefaultMailPort(kSecurityNone), ParsePort, ParsePort);
    connect(portField_, &WholeNumberField::entered, this, &TMailServerSettingsForm::PortEditEnter);
    connect(portField_, &WholeNumberField::left, this, &TMailServerSettingsForm::PortEditExit);

    constexpr int folderTop = securityTop + 2 * kRowStep;
    folderEdit_ = AddField(folderTop, "&Folder:", "The IMAP folder to watch for new mail");
    folderEdit_->setText(Q(std::string(kDefaultImapFolder)));
    folderEdit_->setEnabled(false);

    constexpr int intervalTop = folderTop + kRowStep;
    intervalEdit_ = AddField(intervalTop, "&Interval:", "Duration between mail checks");
    intervalEdit_->resize(units.Size(50, kFieldHeight));
    intervalField_ = new WholeNumberField(intervalEdit_, kDefaultInterval,
                                          AcceptedIntervalOnEntering, ParseNumberAboveZero);
    connect(intervalField_, &WholeNumberField::entered, this,
            &TMailServerSettingsForm::IntervalEditEnter);
    connect(intervalField_, &WholeNumberField::left, this,
            &TMailServerSettingsForm::IntervalEditExit);

    intervalUpDown_ = new UpDown(this);
    intervalUpDown_->setGeometry(units.Rect(kFieldLeft + 50, intervalTop, 16, kFieldHeight));
    intervalUpDown_->SetAssociate(intervalEdit_);
    // The spin control's minimum is 1; the entry dialog's own rules repair anything typed.
    intervalUpDown_->SetRange(1, 32000);
    intervalUpDown_->SetPosition(10);

    minutesLabel_ = new QLabel("[min]", this);
    minutesLabel_->move(units.Point(kFieldLeft + 70, intervalTop + 3));
    minutesLabel_->adjustSize();

    bevel_ = new QFrame(this);
    bevel_->setGeometry(units.Rect(0, intervalTop + 26, kClientWidth, 2));
    bevel_->setFrameShape(QFrame::HLine);
    bevel_->setFrameShadow(QFrame::Sunken);

    std::tie(okGradBtn_, cancelGradBtn_) = AddOkCancelButtons(this, 26, 117, kClientHeight - 28);
    MakeDefaultButton(*this, *okGradBtn_);

    connect(securityComboBox_, &QComboBox::currentIndexChanged, this,
            &TMailServerSettingsForm::SecurityComboBoxChange);
    connect(protocolComboBox_, &QComboBox::currentIndexChanged, this,
            &TMailServerSettingsForm::ProtocolComboBoxChange);
    for (auto* edit : {serverNameEdit_, userNameEdit_, pop3ServerEdit_})
        connect(edit, &QLineEdit::textChanged, this, &TMailServerSettingsForm::UpdateOKButton);

    setTabOrder(okGradBtn_, cancelGradBtn_);
    setTabOrder(cancelGradBtn_, serverNameEdit_);
    setTabOrder(serverNameEdit_, userNameEdit_);
    setTabOrder(userNameEdit_, passwordEdit_);
    setTabOrder(passwordEdit_, pop3ServerEdit_);
    setTabOrder(pop3ServerEdit_, protocolComboBox_);
    setTabOrder(protocolComboBox_, securityComboBox_);
    setTabOrder(securityComboBox_, portEdit_);
    setTabOrder(portEdit_, folderEdit_);
    setTabOrder(folderEdit_, intervalEdit_);

    // A new entry is secured from the first byte: the password never crosses in plain text.
    SetSecurity(kSecurityImplicitTls);
    intervalEdit_->setText("10");
    UpdateOKButton();
    AddNotes();
}

// The notes on where the password goes sit below the buttons; the dialog grows by what they
// need and shrinks back when none applies.
void TMailServerSettingsForm::AddNotes()
{
    const DialogUnits units;
    notes_ = new EntryNotes(units.X(kClientWidth), this);
    notes_->move(units.Point(0, kClientHeight));
    connect(notes_, &EntryNotes::changed, this,
            [this] { setFixedHeight(DialogUnits().Y(kClientHeight) + notes_->NeededHeight()); });
    connect(pop3ServerEdit_, &QLineEdit::textChanged, this, &TMailServerSettingsForm::UpdateNotes);
    connect(securityComboBox_, &QComboBox::currentIndexChanged, this,
            &TMailServerSettingsForm::UpdateNotes);
    UpdateNotes();
}

void TMailServerSettingsForm::UpdateNotes()
{
    notes_->ShowPlainTextWarning(Security(), S(pop3ServerEdit_->text()));
}

void TMailServerSettingsForm::SetPasswordKeptScrambled(bool scrambledOnly)
{
    notes_->SetScrambledOnly(scrambledOnly);
}

void TMailServerSettingsForm::SetPasswordInKeyring(bool kept)
{
    passwordInKeyring_ = kept;
    if (kept)
        SetPassword({});
    passwordEdit_->setPlaceholderText(kept ? "(kept in the keyring)" : QString());
}

bool TMailServerSettingsForm::PasswordStaysInKeyring() const
{
    return passwordInKeyring_ && passwordEdit_->text().isEmpty();
}

TMailServerSettingsForm::~TMailServerSettingsForm() = default;

QLineEdit* TMailServerSettingsForm::AddField(int top, const char* label, const char* hint,
                                             QLabel** caption)
{
    const DialogUnits units;
    auto* edit = new QLineEdit(this);
    edit->setGeometry(units.Rect(kFieldLeft, top, kFieldWidth, kFieldHeight));
    edit->setToolTip(hint);
    QLabel* made = AddCaption(top, label, edit);
    if (caption != nullptr)
        *caption = made;
    return edit;
}

QLabel* TMailServerSettingsForm::AddCaption(int top, const char* label, QWidget* buddy)
{
    const DialogUnits units;
    auto* caption = new QLabel(label, this);
    caption->move(units.Point(kLabelLeft, top + 3));
    caption->adjustSize();
    caption->setBuddy(buddy);
    return caption;
}

void TMailServerSettingsForm::ResetFields()
{
    serverNameEdit_->clear();
    userNameEdit_->clear();
    SetPassword({});
    pop3ServerEdit_->clear();
    SetProtocol(MailProtocol::Pop3);
    SetFolder({});
    SetSecurity(kSecurityImplicitTls);
    SetPasswordInKeyring(false);
    intervalEdit_->setText("10");
    okGradBtn_->setEnabled(false);
}

void TMailServerSettingsForm::UpdateOKButton()
{
    okGradBtn_->setEnabled(EntryComplete(S(serverNameEdit_->text()), S(userNameEdit_->text()),
                                         S(pop3ServerEdit_->text())));
}

void TMailServerSettingsForm::SetPassword(const std::string& bytes)
{
    storedPassword_ = bytes;
    storedPasswordShown_ = Q(bytes);
    passwordEdit_->setText(storedPasswordShown_);
}

std::string TMailServerSettingsForm::Password() const
{
    if (passwordEdit_->text() == storedPasswordShown_)
        return storedPassword_;
    return S(passwordEdit_->text());
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

std::int32_t TMailServerSettingsForm::LastAcceptedInterval() const
{
    return intervalField_->LastAccepted();
}

void TMailServerSettingsForm::IntervalEditEnter()
{
    intervalField_->Enter();
}

void TMailServerSettingsForm::IntervalEditExit()
{
    intervalField_->Leave();
}

int TMailServerSettingsForm::Security() const
{
    return security_;
}

int TMailServerSettingsForm::Port() const
{
    return ParsePort(S(portEdit_->text())).value_or(portField_->LastAccepted());
}

void TMailServerSettingsForm::SetSecurity(int security, int port)
{
    security_ = SecurityShown(security);
    {
        const QSignalBlocker quiet(securityComboBox_);
        securityComboBox_->setCurrentIndex(security_);
    }
    portField_->SetNumber(PortShown(security_, port, protocol_));
    if (notes_ != nullptr)
        UpdateNotes();
}

void TMailServerSettingsForm::SecurityComboBoxChange(int index)
{
    if (index < 0)
        return;
    const int previous = security_;
    security_ = index;
    if (PortFollowsSecurity(S(portEdit_->text()), previous, protocol_)) {
        portField_->SetNumber(DefaultMailPort(security_, protocol_));
    }
}

MailServerRow TMailServerSettingsForm::Row(std::string name) const
{
    MailServerRow row{std::move(name),
                      S(userNameEdit_->text()),
                      S(pop3ServerEdit_->text()),
                      S(intervalEdit_->text()),
                      Password(),
                      Security(),
                      PortStored(Security(), Port(), Protocol())};
    row.Protocol = Protocol();
    row.Folder = Folder();
    return row;
}

MailProtocol TMailServerSettingsForm::Protocol() const
{
    return protocol_;
}

void TMailServerSettingsForm::SetProtocol(MailProtocol protocol)
{
    const QSignalBlocker quiet(protocolComboBox_);
    protocolComboBox_->setCurrentIndex(static_cast<int>(protocol));
    ShowProtocol(protocol);
}

void TMailServerSettingsForm::ProtocolComboBoxChange(int index)
{
    if (index < 0)
        return;
    const MailProtocol previous = protocol_;
    ShowProtocol(static_cast<MailProtocol>(index));
    if (PortFollowsSecurity(S(portEdit_->text()), security_, previous))
        portField_->SetNumber(DefaultMailPort(security_, protocol_));
}

void TMailServerSettingsForm::ShowProtocol(MailProtocol protocol)
{
    protocol_ = protocol;
    const bool imap = protocol == MailProtocol::Imap;
    serverCaption_->setText(imap ? kImapServerCaption : kPop3ServerCaption);
    serverCaption_->adjustSize();
    folderEdit_->setEnabled(imap);
}

std::string TMailServerSettingsForm::Folder() const
{
    const std::string folder = TrimBlanks(S(folderEdit_->text()));
    return folder.empty() ? std::string(kDefaultImapFolder) : folder;
}

void TMailServerSettingsForm::SetFolder(const std::string& folder)
{
    folderEdit_->setText(Q(folder.empty() ? std::string(kDefaultImapFolder) : folder));
}

int TMailServerSettingsForm::LastAcceptedPort() const
{
    return portField_->LastAccepted();
}

void TMailServerSettingsForm::PortEditEnter()
{
    portField_->Enter();
}

void TMailServerSettingsForm::PortEditExit()
{
    portField_->Leave();
}

void TMailServerSettingsForm::OKGradBtnClick()
{
    IntervalEditExit();
    PortEditExit();
    accept();
}

void TMailServerSettingsForm::CancelGradBtnClick()
{
    reject();
}

void TMailServerSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    serverNameEdit_->setFocus();
}

} // namespace vorlane
