#include "ui/SettingsForm.h"

#include "config/RegistryError.h"
#include "config/SettingsTable.h"
#include "mail/MailServer.h"
#include "net/RasBinding.h"
#include "ui/DefaultButton.h"
#include "ui/DialUpList.h"
#include "ui/FileChoice.h"
#include "ui/FixedDialog.h"
#include "ui/MailServerList.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/MessageForm.h"
#include "ui/QtText.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "ui/WholeNumberField.h"
#include "ui/gradbtn/GradBtn.h"
#include "util/Log.h"
#include "util/WholeNumber.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>

namespace vorlane {

TSettingsForm::TSettingsForm(RegistryStore& store, SettingsFormServices services, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), store_(store), services_(std::move(services)),
      autostart_(services_.autostartFolder.empty() ? Autostart::ForCurrentUser()
                                                   : Autostart(services_.autostartFolder))
{
    if (!services_.runModal)
        services_.runModal = RunModal;
    if (!services_.listPhoneBookEntries)
        services_.listPhoneBookEntries = [] { return RasBinding().ListPhoneBookEntries(); };
    if (services_.executablePath.empty())
        services_.executablePath = S(QCoreApplication::applicationFilePath());

    SetUpFixedDialog(*this, "Vorlane: Settings", SettingsFormUi::kClientWidth,
                     SettingsFormUi::kClientHeight);

    ui_.SetupUi(*this);
    ui_.ShowLogFile(services_.logFileName.empty() ? DetermineLogFileName() : services_.logFileName);
    connect(ui_.pageControl, &QTabWidget::currentChanged, this, &TSettingsForm::PageChanged);
    MakeDefaultButton(*this, *ui_.okGradBtn);
    // In the entry list Enter and a double click edit the entry, Delete removes it.
    connect(MailServersListView(), &QTreeWidget::itemDoubleClicked, this,
            &TSettingsForm::EditGradBtnClick);
    MailServersListView()->installEventFilter(this);

    connect(qApp, &QApplication::focusChanged, this, &TSettingsForm::FocusChanged);

    FormCreate();
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::FormCreate()
{
    ui_.iconClickActionComboBox->setCurrentIndex(0);
    ui_.autoHideTimeComboBox->setCurrentIndex(AutoHideTimeIndex(3));
    ui_.startAtLoginCheckBox->setChecked(autostart_.Enabled());
    FillRasConnections();
    ReadSettings();
    SynchronizeCheckBoxClick();
    ConnectionLANRadioButtonClick();
    DisplayMessageCheckBoxClick();
    PlaySoundCheckBoxClick();
    StartMailClientCheckboxClick();
    ui_.pageControl->setCurrentIndex(NewMailPage);
    currentPage_ = NewMailPage;
}

void TSettingsForm::FillRasConnections()
{
    const auto names = services_.listPhoneBookEntries();
    if (!names) {
        ui_.connectionRASRadioButton->setEnabled(false);
        return;
    }
    ui_.dialUpList->Fill(*names);
    ui_.connectionRASRadioButton->setEnabled(!names->empty());
}

void TSettingsForm::ReadSettings()
{
    readSettingsError_.clear();
    shownEntries_.clear();
    damagedFile_ = false;
    RegistryKey root;
    try {
        root = store_.Read();
    } catch (const RegistryFileError& error) {
        damagedFile_ = true;
        readSettingsError_ = "Vorlane cannot read its settings file:\r\n" +
                             std::string(error.what()) +
                             "\r\nWhen you press OK, the damaged file is kept beside it under "
                             "another name and these settings are stored in a new one.";
        return;
    }
    const RegistryKey* key = root.OpenKey(kSettingsKey);
    if (key == nullptr)
        return;
    // Every value on its own: one of the wrong kind is told, and its control keeps its default
    // so that OK stores a sound value over it. Nothing else is lost by it.
    std::vector<std::string> problems;
    const ValueProblem problem = [&](const RegistryError& error) {
        problems.push_back(DescribeSettingsProblem(error, store_.Path()));
    };
    ui_.ShowSettings(StoredSettings(*key, problem));
    ConnectionLANRadioButtonClick();

    for (const auto& name : key->SubkeyNames()) {
        const RegistryKey* entry = key->OpenKey(name);
        if (entry == nullptr)
            continue;
        const auto values = StoredEntry::Read(*entry, problem);
        MailServerRow row;
        row.Name = name;
        row.UserName = values.UserName.value_or("");
        row.Server = values.Server.value_or("");
        row.Interval = IntervalShown(values.Interval);
        row.Password = values.Password.value_or("");
        row.Security = SecurityShown(values.Security);
        if (values.Protocol)
            row.Protocol = ParseProtocol(*values.Protocol).value_or(MailProtocol::Pop3);
        if (values.Folder && !values.Folder->empty())
            row.Folder = *values.Folder;
        if (values.Port)
            row.Port = PortStored(row.Security, *values.Port, row.Protocol);
        row.CertificateSha256 = values.CertificateSha256.value_or("");
        if (values.PasswordInKeyring && !values.Password)
            row.KeptUnder = PasswordKey{row.UserName, row.Server};
        ui_.mailServers->Add(row);
        shownEntries_.push_back(name);
    }
    if (!problems.empty())
        readSettingsError_ = UnreadableValuesMessage(problems);
}

Settings TSettingsForm::Values() const
{
    return ui_.Values();
}

std::vector<MailServerRow> TSettingsForm::Rows() const
{
    return ui_.mailServers->Rows();
}

QListWidget* TSettingsForm::RasConnectionsCheckListBox() const
{
    return ui_.dialUpList->View();
}

QTreeWidget* TSettingsForm::MailServersListView() const
{
    return ui_.mailServers->View();
}

void TSettingsForm::WriteSettings()
{
    const auto setAside = ::vorlane::WriteSettings(
        store_, Values(), Rows(), shownEntries_,
        damagedFile_ ? RegistryStore::DamagedFile::SetAside : RegistryStore::DamagedFile::Refuse,
        services_.passwords);
    if (setAside)
        ShowMessage("The damaged settings file is kept as " + setAside->string() + ".");
}

void TSettingsForm::WriteAutostart()
{
    const bool wanted = ui_.startAtLoginCheckBox->isChecked();
    if (wanted == autostart_.Enabled())
        return;
    if (wanted)
        autostart_.Enable(services_.executablePath);
    else
        autostart_.Disable();
}

void TSettingsForm::SelectRasConnections(const std::string& rasConnection)
{
    ui_.dialUpList->Select(rasConnection);
}

std::string TSettingsForm::SelectedRasConnections() const
{
    return ui_.dialUpList->Selected();
}

void TSettingsForm::ShowMessage(const std::string& text)
{
    TMessageForm message(this);
    message.SetMessage(text);
    showingMessage_ = true;
    services_.runModal(message);
    showingMessage_ = false;
}

void TSettingsForm::NewGradBtnClick()
{
    TMailServerSettingsForm form(this);
    form.ResetFields();
    form.SetPasswordKeptScrambled(!KeyringAnswers());
    for (;;) {
        if (services_.runModal(form) != QDialog::Accepted)
            return;
        const std::string name = TrimBlanks(S(form.ServerNameEdit()->text()));
        switch (CheckNewEntryName(name, ui_.mailServers->Names())) {
        case EntryNameProblem::None: {
            auto* item = ui_.mailServers->Add(form.Row(name));
            ui_.mailServers->View()->scrollToItem(item);
            return;
        }
        case EntryNameProblem::Empty:
            ShowMessage(kEmptyEntryNameText);
            break;
        case EntryNameProblem::Invalid:
            ShowMessage(kInvalidEntryNameText);
            break;
        case EntryNameProblem::Duplicate: {
            QMessageBox question(QMessageBox::Warning, "Warning", kDuplicateEntryText,
                                 QMessageBox::Ok | QMessageBox::Cancel, this);
            showingMessage_ = true;
            const int answer = services_.runModal(question);
            showingMessage_ = false;
            if (answer != QMessageBox::Ok)
                return;
            break;
        }
        }
    }
}

void TSettingsForm::EditGradBtnClick()
{
    QTreeWidgetItem* item = ui_.mailServers->FirstSelected();
    if (item == nullptr)
        return;
    const auto row = MailServerList::RowOf(item);

    TMailServerSettingsForm form(this);
    form.ServerNameEdit()->setText(Q(row.Name));
    form.UserNameEdit()->setText(Q(row.UserName));
    form.POP3ServerEdit()->setText(Q(row.Server));
    form.IntervalUpDown()->SetPosition(ParseWholeNumber(row.Interval).value_or(kDefaultInterval));
    form.SetPassword(row.Password);
    form.SetProtocol(row.Protocol);
    form.SetFolder(row.Folder);
    form.SetSecurity(row.Security, row.Port);
    form.SetServerNameReadOnly(true);
    form.SetPasswordInKeyring(row.KeptUnder.has_value());
    form.SetPasswordKeptScrambled(!KeyringAnswers());
    if (services_.runModal(form) != QDialog::Accepted)
        return;
    MailServerRow edited = form.Row(row.Name);
    edited.CertificateSha256 = row.CertificateSha256;
    if (form.PasswordStaysInKeyring())
        edited.KeptUnder = row.KeptUnder;
    MailServerList::Update(item, edited);
}

bool TSettingsForm::KeyringAnswers()
{
    if (!keyringAnswers_)
        keyringAnswers_ = services_.passwords != nullptr &&
                          services_.passwords->Answers(std::chrono::milliseconds(5000));
    return *keyringAnswers_;
}

void TSettingsForm::RemoveGradBtnClick()
{
    ui_.mailServers->RemoveSelected();
    MailServersListViewChange();
}

void TSettingsForm::MailServersListViewChange()
{
    const bool any = ui_.mailServers->AnySelected();
    ui_.editGradBtn->setEnabled(any);
    ui_.removeGradBtn->setEnabled(any);
}

bool TSettingsForm::ChooseFile(const char* filter, const char* defaultSuffix, const char* title,
                               bool executablesFirst, QLineEdit* target)
{
    QFileDialog dialog(this, title);
    SetUpFileChoice(dialog, filter, defaultSuffix, executablesFirst);
    if (services_.runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    target->setText(dialog.selectedFiles().front());
    return true;
}

void TSettingsForm::BrowseSoundGradBtnClick()
{
    ChooseFile("Wave files|*.wav|All Files|*.*", "wav", "Select a wave file", false, ui_.soundEdit);
}

void TSettingsForm::BrowseClientGradBtnClick()
{
    ChooseFile("Executables files|*.exe|All Files|*.*", nullptr, "Select your favorite mail client",
               true, ui_.mailClientEdit);
}

void TSettingsForm::DisplayMessageCheckBoxClick()
{
    ui_.autoHideCheckbox->setEnabled(ui_.displayMessageCheckBox->isChecked());
    ui_.autoHideTimeComboBox->setEnabled(ui_.autoHideCheckbox->isEnabled());
    ui_.autoHideSecondsLabel->setEnabled(ui_.autoHideCheckbox->isEnabled());
}

void TSettingsForm::PlaySoundCheckBoxClick()
{
    ui_.soundEdit->setEnabled(ui_.playSoundCheckBox->isChecked());
    ui_.browseSoundGradBtn->setEnabled(ui_.playSoundCheckBox->isChecked());
}

void TSettingsForm::StartMailClientCheckboxClick()
{
    ui_.mailClientEdit->setEnabled(ui_.startMailClientCheckbox->isChecked());
    ui_.browseClientGradBtn->setEnabled(ui_.startMailClientCheckbox->isChecked());
}

void TSettingsForm::SynchronizeCheckBoxClick()
{
    ui_.timeServersComboBox->setEnabled(ui_.synchronizeCheckBox->isChecked());
    ui_.intervalRadioGroup->setEnabled(ui_.synchronizeCheckBox->isChecked());
}

void TSettingsForm::ConnectionLANRadioButtonClick()
{
    ui_.dialUpList->View()->setEnabled(!ui_.connectionLANRadioButton->isChecked());
}

void TSettingsForm::ConnectionRASRadioButtonClick()
{
    ConnectionLANRadioButtonClick();
}

bool TSettingsForm::TimeServerRuleBroken() const
{
    return ::vorlane::TimeServerRuleBroken(ui_.synchronizeCheckBox->isChecked(),
                                           S(ui_.timeServersComboBox->currentText()));
}

bool TSettingsForm::PageControlChanging()
{
    if (ui_.pageControl->currentWidget() != ui_.timeTabSheet || !TimeServerRuleBroken())
        return true;
    ShowMessage(kNoTimeServerText);
    ui_.timeServersComboBox->setFocus();
    return false;
}

void TSettingsForm::PageChanged(int index)
{
    if (revertingPage_)
        return;
    // The tab widget has switched already; asking on the page that was left and switching back
    // before anything is painted is the same to the user as refusing the change.
    const int wanted = index;
    revertingPage_ = true;
    ui_.pageControl->setCurrentIndex(currentPage_);
    revertingPage_ = false;
    if (!PageControlChanging())
        return;
    revertingPage_ = true;
    ui_.pageControl->setCurrentIndex(wanted);
    revertingPage_ = false;
    currentPage_ = wanted;
}

void TSettingsForm::TimeTabSheetExit()
{
    if (TimeServerRuleBroken())
        ShowMessage(kNoTimeServerText);
}

void TSettingsForm::FocusChanged(QWidget* old, QWidget* now)
{
    // Only moves inside this dialog count; a message window taking the focus is not the user
    // leaving the page.
    if (showingMessage_ || old == nullptr || now == nullptr || now->window() != this ||
        !ui_.timeTabSheet->isAncestorOf(old) || ui_.timeTabSheet->isAncestorOf(now))
        return;
    // A change of page asks on its own; checked once the change is over, so only a move of
    // the focus that stays off the page tells.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QWidget* focus = QApplication::focusWidget();
            if (showingMessage_ || focus == nullptr || focus->window() != this ||
                ui_.timeTabSheet->isAncestorOf(focus) ||
                ui_.pageControl->currentWidget() != ui_.timeTabSheet)
                return;
            TimeTabSheetExit();
        },
        Qt::QueuedConnection);
}

std::int32_t TSettingsForm::LastAcceptedTimeout() const
{
    return ui_.connectionTimeoutField->LastAccepted();
}

void TSettingsForm::ConnectionTimeoutEditEnter()
{
    // Text that is not a whole number leaves the last accepted value as it was.
    ui_.connectionTimeoutField->Enter();
}

void TSettingsForm::ConnectionTimeoutEditExit()
{
    ui_.connectionTimeoutField->Leave();
}

void TSettingsForm::OKGradBtnClick()
{
    if (!PageControlChanging())
        return;
    try {
        WriteSettings();
    } catch (const RegistryError& error) {
        // Nothing was stored; the dialog stays open so that the user can put it right.
        ShowMessage(error.what());
        return;
    }
    try {
        WriteAutostart();
    } catch (const std::runtime_error& error) {
        // The settings are stored; the dialog stays open to tell why the entry is not, and OK
        // tries again.
        ShowMessage(std::string("Vorlane could not change whether it starts when you log in. ") +
                    error.what());
        return;
    }
    accept();
}

void TSettingsForm::CancelGradBtnClick()
{
    reject();
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MailServersListView() && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            EditGradBtnClick();
            return true;
        case Qt::Key_Delete:
            RemoveGradBtnClick();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui_.okGradBtn->SetFocus();
    if (!readSettingsError_.empty() && !readSettingsErrorShown_) {
        readSettingsErrorShown_ = true;
        // Once the dialog is on screen, so that the user sees what the message is about.
        QTimer::singleShot(0, this, [this] { ShowMessage(readSettingsError_); });
    }
}

} // namespace vorlane
