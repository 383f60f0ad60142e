#pragma once

#include "config/SettingsStore.h"
#include "ui/Autostart.h"
#include "ui/ModalRunner.h"

#include <QCollator>
#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <functional>
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
    QTabWidget* PageControl() const { return pageControl_; }
    QTreeWidget* MailServersListView() const { return mailServersListView_; }
    TGradBtn* NewGradBtn() const { return newGradBtn_; }
    TGradBtn* EditGradBtn() const { return editGradBtn_; }
    TGradBtn* RemoveGradBtn() const { return removeGradBtn_; }
    QCheckBox* DisplayMessageCheckBox() const { return displayMessageCheckBox_; }
    QCheckBox* AutoHideCheckbox() const { return autoHideCheckbox_; }
    QComboBox* AutoHideTimeComboBox() const { return autoHideTimeComboBox_; }
    QLabel* AutoHideSecondsLabel() const { return autoHideSecondsLabel_; }
    QCheckBox* SystemBeepCheckbox() const { return systemBeepCheckbox_; }
    QCheckBox* HeadersCheckbox() const { return headersCheckbox_; }
    QCheckBox* PlaySoundCheckBox() const { return playSoundCheckBox_; }
    QLineEdit* SoundEdit() const { return soundEdit_; }
    TGradBtn* BrowseSoundGradBtn() const { return browseSoundGradBtn_; }
    QCheckBox* StartMailClientCheckbox() const { return startMailClientCheckbox_; }
    QLineEdit* MailClientEdit() const { return mailClientEdit_; }
    TGradBtn* BrowseClientGradBtn() const { return browseClientGradBtn_; }
    QComboBox* IconClickActionComboBox() const { return iconClickActionComboBox_; }
    QCheckBox* SynchronizeCheckBox() const { return synchronizeCheckBox_; }
    QComboBox* TimeServersComboBox() const { return timeServersComboBox_; }
    QGroupBox* IntervalRadioGroup() const { return intervalRadioGroup_; }
    QButtonGroup* IntervalButtons() const { return intervalButtons_; }
    QRadioButton* ConnectionLANRadioButton() const { return connectionLANRadioButton_; }
    QRadioButton* ConnectionRASRadioButton() const { return connectionRASRadioButton_; }
    QListWidget* RasConnectionsCheckListBox() const { return rasConnectionsCheckListBox_; }
    QLineEdit* ConnectionTimeoutEdit() const { return connectionTimeoutEdit_; }
    UpDown* ConnectionTimeoutUpDown() const { return connectionTimeoutUpDown_; }
    QCheckBox* LogToFileCheckBox() const { return logToFileCheckBox_; }
    QCheckBox* StartAtLoginCheckBox() const { return startAtLoginCheckBox_; }
    TGradBtn* OKGradBtn() const { return okGradBtn_; }
    TGradBtn* CancelGradBtn() const { return cancelGradBtn_; }

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

private:
    void FormCreate();
    void BuildNewMailPage(QWidget* page);
    void BuildTimePage(QWidget* page);
    void BuildConnectionPage(QWidget* page);
    void BuildAdvancedPage(QWidget* page);
    void FillRasConnections();
    void PageChanged(int index);
    void FocusChanged(QWidget* old, QWidget* now);
    void ShowMessage(const std::string& text);
    bool ChooseFile(const char* filter, const char* defaultSuffix, const char* title,
                    bool executablesFirst, QLineEdit* target);
    QTreeWidgetItem* AddRow(const MailServerRow& row);
    std::vector<std::string> RowNames() const;
    bool TimeServerRuleBroken() const;

    RegistryStore& store_;
    SettingsFormServices services_;
    Autostart autostart_;
    QCollator collator_;

    QTabWidget* pageControl_;
    QWidget* timeTabSheet_ = nullptr;
    QTreeWidget* mailServersListView_ = nullptr;
    TGradBtn* newGradBtn_ = nullptr;
    TGradBtn* editGradBtn_ = nullptr;
    TGradBtn* removeGradBtn_ = nullptr;
    QCheckBox* displayMessageCheckBox_ = nullptr;
    QCheckBox* autoHideCheckbox_ = nullptr;
    QComboBox* autoHideTimeComboBox_ = nullptr;
    QLabel* autoHideSecondsLabel_ = nullptr;
    QCheckBox* systemBeepCheckbox_ = nullptr;
    QCheckBox* headersCheckbox_ = nullptr;
    QCheckBox* playSoundCheckBox_ = nullptr;
    QLineEdit* soundEdit_ = nullptr;
    TGradBtn* browseSoundGradBtn_ = nullptr;
    QCheckBox* startMailClientCheckbox_ = nullptr;
    QLineEdit* mailClientEdit_ = nullptr;
    TGradBtn* browseClientGradBtn_ = nullptr;
    QComboBox* iconClickActionComboBox_ = nullptr;
    QCheckBox* synchronizeCheckBox_ = nullptr;
    QComboBox* timeServersComboBox_ = nullptr;
    QGroupBox* intervalRadioGroup_ = nullptr;
    QButtonGroup* intervalButtons_ = nullptr;
    QRadioButton* connectionLANRadioButton_ = nullptr;
    QRadioButton* connectionRASRadioButton_ = nullptr;
    QButtonGroup* connectionButtons_ = nullptr;
    QListWidget* rasConnectionsCheckListBox_ = nullptr;
    QLineEdit* connectionTimeoutEdit_ = nullptr;
    WholeNumberField* connectionTimeoutField_ = nullptr;
    UpDown* connectionTimeoutUpDown_ = nullptr;
    QCheckBox* logToFileCheckBox_ = nullptr;
    QCheckBox* startAtLoginCheckBox_ = nullptr;
    TGradBtn* okGradBtn_ = nullptr;
    TGradBtn* cancelGradBtn_ = nullptr;

    int currentPage_ = NewMailPage;
    bool revertingPage_ = false;
    bool showingMessage_ = false;
    std::string readSettingsError_;
    bool readSettingsErrorShown_ = false;
    bool damagedFile_ = false; // the file could not be read: OK sets it aside
    std::vector<std::string> shownEntries_;
};

} // namespace vorlane
