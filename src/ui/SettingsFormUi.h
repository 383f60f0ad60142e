#pragma once

#include "config/Settings.h"

#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace vorlane {

class DialUpList;
class MailServerList;
class StoredSettings;
class TGradBtn;
class TSettingsForm;
class UpDown;
class WholeNumberField;

// The settings dialog's controls, made and laid out on its four pages, as a form designer would
// give them: the dialog keeps the rules, this the widgets. Every button and field is wired to
// the dialog's handler of the same name.
struct SettingsFormUi
{
    static constexpr int kClientWidth = 385;
    static constexpr int kClientHeight = 359;
    static constexpr int kPageHeight = kClientHeight - 39;

    SettingsFormUi();
    ~SettingsFormUi();

    void SetupUi(TSettingsForm& form);
    // Every stored value in its control; a control whose value is not stored keeps its state.
    void ShowSettings(const StoredSettings& stored);
    // The values the controls hold, as OK stores them.
    Settings Values() const;
    // Where the log goes, below its check box.
    void ShowLogFile(const std::string& fileName);

    QTabWidget* pageControl = nullptr;
    QWidget* timeTabSheet = nullptr;
    std::unique_ptr<MailServerList> mailServers;
    TGradBtn* newGradBtn = nullptr;
    TGradBtn* editGradBtn = nullptr;
    TGradBtn* removeGradBtn = nullptr;
    QCheckBox* displayMessageCheckBox = nullptr;
    QCheckBox* autoHideCheckbox = nullptr;
    QComboBox* autoHideTimeComboBox = nullptr;
    QLabel* autoHideSecondsLabel = nullptr;
    QCheckBox* systemBeepCheckbox = nullptr;
    QCheckBox* headersCheckbox = nullptr;
    QCheckBox* unseenOnlyCheckBox = nullptr;
    QCheckBox* desktopNotificationCheckBox = nullptr;
    QCheckBox* playSoundCheckBox = nullptr;
    QLineEdit* soundEdit = nullptr;
    TGradBtn* browseSoundGradBtn = nullptr;
    QCheckBox* startMailClientCheckbox = nullptr;
    QLineEdit* mailClientEdit = nullptr;
    TGradBtn* browseClientGradBtn = nullptr;
    QComboBox* iconClickActionComboBox = nullptr;
    QCheckBox* synchronizeCheckBox = nullptr;
    QComboBox* timeServersComboBox = nullptr;
    QGroupBox* intervalRadioGroup = nullptr;
    QButtonGroup* intervalButtons = nullptr;
    QRadioButton* connectionLANRadioButton = nullptr;
    QRadioButton* connectionRASRadioButton = nullptr;
    QButtonGroup* connectionButtons = nullptr;
    std::unique_ptr<DialUpList> dialUpList;
    QLineEdit* connectionTimeoutEdit = nullptr;
    WholeNumberField* connectionTimeoutField = nullptr;
    UpDown* connectionTimeoutUpDown = nullptr;
    QCheckBox* logToFileCheckBox = nullptr;
    QLabel* logFileLabel = nullptr;
    QCheckBox* startAtLoginCheckBox = nullptr;
    TGradBtn* okGradBtn = nullptr;
    TGradBtn* cancelGradBtn = nullptr;

private:
    void BuildNewMailPage(TSettingsForm& form, QWidget* page);
    void BuildTimePage(TSettingsForm& form, QWidget* page);
    void BuildConnectionPage(TSettingsForm& form, QWidget* page);
    void BuildAdvancedPage(TSettingsForm& form, QWidget* page);
};

} // namespace vorlane
