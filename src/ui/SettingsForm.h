#pragma once

#include "config/SettingsStore.h"
#include "ui/Autostart.h"
#include "ui/ModalRunner.h"
#include "ui/SettingsFormUi.h"

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorlane {

class MailServerList;
class TGradBtn;
class UpDown;
class WholeNumberField;

// What the settings dialog uses from outside; each has a working default.
struct SettingsFormServices
{
    // The dial-up phone-book entries (NetworkManager's connection profiles); nothing when the
    // dial-up service is missing. Default: RasBinding on the system bus.
    std::function<std::optional<std::vector<std::string>>()> listPhoneBookEntries;
    // Shows the dialog's own windows (entry dialog, messages, question, file choice).
    ModalRunner runModal;
    // The program the autostart entry starts. Default: the running executable.
    std::string executablePath;
    // The folder of the autostart entry. Default: the current user's autostart folder.
    std::filesystem::path autostartFolder;
    // The desktop's keyring for the entries' passwords. Default: none, the file keeps them.
    PasswordStore* passwords = nullptr;
    // The log file shown under its check box. Default: where the log goes.
    std::string logFileName;
};

// The one place where the user edits the configuration: the mail server entries, how new mail
// is announced, the time synchronization, the dial-up gating, the connection time-out, the log
// switch and whether the program starts at login. It reads the registry and the autostart entry
// when it is created and writes them on OK; Cancel writes nothing. Created for one modal showing.
class TSettingsForm : public QDialog
{
    Q_OBJECT

public:
    // Page indexes, in the order of the tabs.
    enum Page
    {
        NewMailPage,
        TimePage,
        ConnectionPage,
        AdvancedPage,
    };

    explicit TSettingsForm(RegistryStore& store, SettingsFormServices services = {},
                           QWidget* parent = nullptr);
    ~TSettingsForm() override;

    // Registry to controls. A stored value of the wrong kind keeps its control at the default and
    // is told (once the dialog shows) with its name, file and line; every entry is still shown.
    void ReadSettings();
    // Controls to registry, all or nothing; a failure throws and stores nothing. Only the entries
    // this dialog showed can be removed by it. A file that could not be read when the dialog
    // opened is set aside, never overwritten, and the user told where it went.
    void WriteSettings();
    // Writes or removes the autostart entry when the check box no longer says what the folder
    // holds; an entry left as it was keeps whatever the user put in it. Throws
    // std::runtime_error when the file cannot be changed.
    void WriteAutostart();
    // What the user is told about stored settings that could not be read; empty when all were.
    const std::string& ReadSettingsError() const { return readSettingsError_; }

    // Ticks the dial-up rows the stored text names; returns the text of the ticked rows.
    void SelectRasConnections(const std::string& rasConnection);
    std::string SelectedRasConnections() const;

    // The mail server list's rows in their displayed order.
    std::vector<MailServerRow> Rows() const;
    // The values the controls hold, as OK stores them.
    Settings Values() const;

    // May refuse leaving the current page (the time page without a time server).
    bool PageControlChanging();

    // Controls, for the caller and the tests.
    QTabWidget* PageControl() const { return ui_.pageControl; }
    QTreeWidget* MailServersListView() const;
    TGradBtn* NewGradBtn() const { return ui_.newGradBtn; }
    TGradBtn* EditGradBtn() const { return ui_.editGradBtn; }
    TGradBtn* RemoveGradBtn() const { return ui_.removeGradBtn; }
    QCheckBox* DisplayMessageCheckBox() const { return ui_.displayMessageCheckBox; }
    QCheckBox* AutoHideCheckbox() const { return ui_.autoHideCheckbox; }
    QComboBox* AutoHideTimeComboBox() const { return ui_.autoHideTimeComboBox; }
    QLabel* AutoHideSecondsLabel() const { return ui_.autoHideSecondsLabel; }
    QCheckBox* SystemBeepCheckbox() const { return ui_.systemBeepCheckbox; }
    QCheckBox* HeadersCheckbox() const { return ui_.headersCheckbox; }
    QCheckBox* UnseenOnlyCheckBox() const { return ui_.unseenOnlyCheckBox; }
    QCheckBox* DesktopNotificationCheckBox() const { return ui_.desktopNotificationCheckBox; }
    QLabel* LogFileLabel() const { return ui_.logFileLabel; }
    QCheckBox* PlaySoundCheckBox() const { return ui_.playSoundCheckBox; }
    QLineEdit* SoundEdit() const { return ui_.soundEdit; }
    TGradBtn* BrowseSoundGradBtn() const { return ui_.browseSoundGradBtn; }
    QCheckBox* StartMailClientCheckbox() const { return ui_.startMailClientCheckbox; }
    QLineEdit* MailClientEdit() const { return ui_.mailClientEdit; }
    TGradBtn* BrowseClientGradBtn() const { return ui_.browseClientGradBtn; }
    QComboBox* IconClickActionComboBox() const { return ui_.iconClickActionComboBox; }
    QCheckBox* SynchronizeCheckBox() const { return ui_.synchronizeCheckBox; }
    QComboBox* TimeServersComboBox() const { return ui_.timeServersComboBox; }
    QGroupBox* IntervalRadioGroup() const { return ui_.intervalRadioGroup; }
    QButtonGroup* IntervalButtons() const { return ui_.intervalButtons; }
    QRadioButton* ConnectionLANRadioButton() const { return ui_.connectionLANRadioButton; }
    QRadioButton* ConnectionRASRadioButton() const { return ui_.connectionRASRadioButton; }
    QListWidget* RasConnectionsCheckListBox() const;
    QLineEdit* ConnectionTimeoutEdit() const { return ui_.connectionTimeoutEdit; }
    UpDown* ConnectionTimeoutUpDown() const { return ui_.connectionTimeoutUpDown; }
    QCheckBox* LogToFileCheckBox() const { return ui_.logToFileCheckBox; }
    QCheckBox* StartAtLoginCheckBox() const { return ui_.startAtLoginCheckBox; }
    TGradBtn* OKGradBtn() const { return ui_.okGradBtn; }
    TGradBtn* CancelGradBtn() const { return ui_.cancelGradBtn; }

    std::int32_t LastAcceptedTimeout() const;

public slots:
    void OKGradBtnClick();
    // Closes as Rejected, as the close box and Escape do; writes nothing.
    void CancelGradBtnClick();
    void NewGradBtnClick();
    void EditGradBtnClick();
    void RemoveGradBtnClick();
    void MailServersListViewChange();
    void BrowseSoundGradBtnClick();
    void BrowseClientGradBtnClick();
    void DisplayMessageCheckBoxClick();
    void PlaySoundCheckBoxClick();
    void StartMailClientCheckboxClick();
    void SynchronizeCheckBoxClick();
    void ConnectionLANRadioButtonClick();
    void ConnectionRASRadioButtonClick();
    // The focus left the time page: tells about a missing time server, refuses nothing.
    void TimeTabSheetExit();
    void ConnectionTimeoutEditEnter();
    void ConnectionTimeoutEditExit();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FillRasConnections();
    void PageChanged(int index);
    void FocusChanged(QWidget* old, QWidget* now);
    void ShowMessage(const std::string& text);
    bool ChooseFile(const char* filter, const char* defaultSuffix, const char* title,
                    bool executablesFirst, QLineEdit* target);
    bool TimeServerRuleBroken() const;
    // Whether a keyring answers, asked once, when an entry dialog first needs to say it.
    bool KeyringAnswers();

    RegistryStore& store_;
    SettingsFormServices services_;
    Autostart autostart_;

    SettingsFormUi ui_;

    int currentPage_ = NewMailPage;
    bool revertingPage_ = false;
    bool showingMessage_ = false;
    std::string readSettingsError_;
    bool readSettingsErrorShown_ = false;
    bool damagedFile_ = false; // the file could not be read: OK sets it aside
    std::vector<std::string> shownEntries_;
    std::optional<bool> keyringAnswers_;
};

} // namespace vorlane
