#include "ui/SettingsFormUi.h"

#include "config/SettingsTable.h"
#include "ui/DialUpList.h"
#include "ui/DialogButtons.h"
#include "ui/DialogUnits.h"
#include "ui/MailServerList.h"
#include "ui/QtText.h"
#include "ui/SettingsForm.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "ui/WholeNumberField.h"
#include "ui/gradbtn/GradBtn.h"
#include "util/WholeNumber.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <tuple>

namespace vorlane {

namespace {

const char* const kIconClickActions[] = {
    "Check for new mail", "Synchronize time",
    "Start mail client",  "Start mail client & Stop waving",
    "Stop waving",        "Nothing",
};

QLabel* MakeLabel(QWidget* parent, const char* text, int x, int y, bool bold = false)
{
    const DialogUnits units;
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->move(units.Point(x, y));
    label->adjustSize();
    return label;
}

QLabel* MakeWrappedLabel(QWidget* parent, const char* text, QRect geometry)
{
    const DialogUnits units;
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(units.Rect(geometry));
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* text, const char* hint, int x, int y)
{
    const DialogUnits units;
    auto* box = new QCheckBox(text, parent);
    if (hint != nullptr)
        box->setToolTip(hint);
    box->move(units.Point(x, y));
    box->adjustSize();
    return box;
}

void SetNoneChecked(QButtonGroup* group)
{
    group->setExclusive(false);
    for (auto* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

} // namespace

SettingsFormUi::SettingsFormUi() = default;
SettingsFormUi::~SettingsFormUi() = default;

void SettingsFormUi::SetupUi(TSettingsForm& form)
{
    const DialogUnits units;
    pageControl = new QTabWidget(&form);
    pageControl->setGeometry(units.Rect(4, 4, kClientWidth - 8, kPageHeight));
    // All four tabs in one row, as the fixed client width was laid out for.
    pageControl->setUsesScrollButtons(false);
    pageControl->setStyleSheet("QTabBar::tab { padding: 3px 5px; }");
    auto* newMail = new QWidget;
    BuildNewMailPage(form, newMail);
    pageControl->addTab(newMail, "&New mail");
    timeTabSheet = new QWidget;
    BuildTimePage(form, timeTabSheet);
    pageControl->addTab(timeTabSheet, "&Time synchronization");
    auto* connection = new QWidget;
    BuildConnectionPage(form, connection);
    pageControl->addTab(connection, "C&onnection");
    auto* advanced = new QWidget;
    BuildAdvancedPage(form, advanced);
    pageControl->addTab(advanced, "Ad&vanced");

    std::tie(okGradBtn, cancelGradBtn) = AddOkCancelButtons(&form, 110, 200, kClientHeight - 28);
    QWidget::setTabOrder(pageControl, okGradBtn);
    QWidget::setTabOrder(okGradBtn, cancelGradBtn);
}

void SettingsFormUi::BuildNewMailPage(TSettingsForm& form, QWidget* page)
{
    const DialogUnits units;
    auto* serversLabel = MakeLabel(page, "&Mail servers:", 8, 6, true);

    mailServers = std::make_unique<MailServerList>(page);
    auto* mailServersListView = mailServers->View();
    mailServersListView->setGeometry(units.Rect(8, 22, 272, 80));
    serversLabel->setBuddy(mailServersListView);
    QObject::connect(mailServersListView, &QTreeWidget::itemSelectionChanged, &form,
                     &TSettingsForm::MailServersListViewChange);

    newGradBtn =
        AddAluminumButton(page, units.Rect(286, 22, 75, 22), &form, &TSettingsForm::NewGradBtnClick,
                          "New", "Verdana", "Create a new mail server entry");
    editGradBtn = AddAluminumButton(page, units.Rect(286, 48, 75, 22), &form,
                                    &TSettingsForm::EditGradBtnClick, "Edit", "Verdana",
                                    "Edit the current mail server entry");
    editGradBtn->setEnabled(false);
    removeGradBtn = AddAluminumButton(page, units.Rect(286, 74, 75, 22), &form,
                                      &TSettingsForm::RemoveGradBtnClick, "Remove", "Verdana",
                                      "Remove all selected mail server entries");
    removeGradBtn->setEnabled(false);

    auto* separator = new QFrame(page);
    separator->setGeometry(units.Rect(8, 108, 353, 2));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    MakeLabel(page, "New mail notification:", 8, 113, true);

    displayMessageCheckBox =
        MakeCheckBox(page, "Display a &message", "Display a message if new mail is found", 8, 130);
    displayMessageCheckBox->setChecked(true);
    autoHideCheckbox = MakeCheckBox(page, "Auto &hide after",
                                    "Automaticly hide the message afther 3 seconds", 150, 130);
    autoHideCheckbox->setChecked(true);
    autoHideTimeComboBox = new QComboBox(page);
    autoHideTimeComboBox->setGeometry(units.Rect(270, 128, 42, 20));
    for (int seconds : kAutoHideTimes)
        autoHideTimeComboBox->addItem(QString::number(seconds));
    autoHideTimeComboBox->setToolTip(
        "number of seconds to wait before the message window will be closed");
    autoHideSecondsLabel = MakeLabel(page, "seconds", 316, 131);

    systemBeepCheckbox =
        MakeCheckBox(page, "System &beep", "Play some beeps on the system speaker", 8, 152);
    systemBeepCheckbox->setChecked(true);
    headersCheckbox = MakeCheckBox(page, "&Display mail headers", nullptr, 150, 152);
    unseenOnlyCheckBox = MakeCheckBox(page, "Announce only messages not seen before",
                                      "Announce only messages that no earlier check has found "
                                      "(where the mail server lists messages by unique id)",
                                      8, 174);
    desktopNotificationCheckBox =
        MakeCheckBox(page, "Desktop &notification",
                     "Tell of new mail also in a notification of the desktop", 8, 196);

    playSoundCheckBox = MakeCheckBox(page, "&Play sound", "Play a wave file", 8, 220);
    soundEdit = new QLineEdit(page);
    soundEdit->setGeometry(units.Rect(138, 219, 142, 20));
    soundEdit->setToolTip("Enter the filename of the wavefile to play");
    soundEdit->setEnabled(false);
    browseSoundGradBtn = AddAluminumButton(page, units.Rect(286, 218, 75, 22), &form,
                                           &TSettingsForm::BrowseSoundGradBtnClick, "Browse",
                                           "Verdana", "Browse for a wave file");
    browseSoundGradBtn->setEnabled(false);

    startMailClientCheckbox =
        MakeCheckBox(page, "Start mail &client:", "Start your favorite mail client", 8, 244);
    mailClientEdit = new QLineEdit(page);
    mailClientEdit->setGeometry(units.Rect(138, 243, 142, 20));
    mailClientEdit->setToolTip("Filename of your favorite mail client");
    mailClientEdit->setEnabled(false);
    browseClientGradBtn = AddAluminumButton(page, units.Rect(286, 242, 75, 22), &form,
                                            &TSettingsForm::BrowseClientGradBtnClick, "Browse",
                                            "Verdana", "Browse for a mail client");
    browseClientGradBtn->setEnabled(false);

    auto* actionLabel = MakeLabel(page, "&Icon click action:", 8, 271);
    actionLabel->setToolTip("What happens when someone double clicks the tray icon");
    iconClickActionComboBox = new QComboBox(page);
    iconClickActionComboBox->setGeometry(units.Rect(138, 268, 223, 20));
    for (const char* action : kIconClickActions)
        iconClickActionComboBox->addItem(action);
    iconClickActionComboBox->setToolTip("Action to start when someone double clicks the tray icon");
    actionLabel->setBuddy(iconClickActionComboBox);

    QObject::connect(displayMessageCheckBox, &QCheckBox::toggled, &form,
                     &TSettingsForm::DisplayMessageCheckBoxClick);
    QObject::connect(playSoundCheckBox, &QCheckBox::toggled, &form,
                     &TSettingsForm::PlaySoundCheckBoxClick);
    QObject::connect(startMailClientCheckbox, &QCheckBox::toggled, &form,
                     &TSettingsForm::StartMailClientCheckboxClick);

    QWidget* order[] = {mailServersListView,
                        newGradBtn,
                        editGradBtn,
                        removeGradBtn,
                        displayMessageCheckBox,
                        autoHideCheckbox,
                        autoHideTimeComboBox,
                        systemBeepCheckbox,
                        headersCheckbox,
                        unseenOnlyCheckBox,
                        desktopNotificationCheckBox,
                        playSoundCheckBox,
                        soundEdit,
                        browseSoundGradBtn,
                        startMailClientCheckbox,
                        mailClientEdit,
                        browseClientGradBtn,
                        iconClickActionComboBox};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void SettingsFormUi::BuildTimePage(TSettingsForm& form, QWidget* page)
{
    const DialogUnits units;
    synchronizeCheckBox = MakeCheckBox(
        page, "&Synchronize time",
        "Enable to synchronize your local time with a timeserver on the internet", 8, 10);
    auto* serverLabel = MakeLabel(page, "&Time server:", 8, 41);
    timeServersComboBox = new QComboBox(page);
    timeServersComboBox->setEditable(true);
    timeServersComboBox->setInsertPolicy(QComboBox::NoInsert);
    timeServersComboBox->setGeometry(units.Rect(100, 38, 200, 20));
    for (const char* host : kDefaultTimeServers)
        timeServersComboBox->addItem(host);
    timeServersComboBox->setCurrentIndex(-1);
    timeServersComboBox->setEditText(QString());
    timeServersComboBox->setToolTip("Hostname of the timeserver to synchronize with");
    serverLabel->setBuddy(timeServersComboBox);

    intervalRadioGroup = new QGroupBox(" Interval ", page);
    intervalRadioGroup->setGeometry(units.Rect(8, 70, 200, 66));
    intervalRadioGroup->setToolTip("Synchronize every hour or once a day");
    intervalButtons = new QButtonGroup(&form);
    auto* hourly = new QRadioButton("H&ourly", intervalRadioGroup);
    hourly->move(units.Point(12, 20));
    hourly->adjustSize();
    auto* daily = new QRadioButton("&Daily", intervalRadioGroup);
    daily->move(units.Point(12, 40));
    daily->adjustSize();
    intervalButtons->addButton(hourly, 0);
    intervalButtons->addButton(daily, 1);
    hourly->setChecked(true);

    QObject::connect(synchronizeCheckBox, &QCheckBox::toggled, &form,
                     &TSettingsForm::SynchronizeCheckBoxClick);
    QWidget::setTabOrder(synchronizeCheckBox, timeServersComboBox);
    QWidget::setTabOrder(timeServersComboBox, hourly);
}

void SettingsFormUi::BuildConnectionPage(TSettingsForm& form, QWidget* page)
{
    const DialogUnits units;
    connectionLANRadioButton = new QRadioButton("I use a &LAN to connect to the internet", page);
    connectionLANRadioButton->setToolTip("Try to reach the internet using the LAN connection");
    connectionLANRadioButton->move(units.Point(8, 10));
    connectionLANRadioButton->adjustSize();
    connectionRASRadioButton = new QRadioButton("I use &RAS to connect to the internet", page);
    connectionRASRadioButton->setToolTip(
        "Select the RAS connections that must be active to reach the internet");
    connectionRASRadioButton->move(units.Point(8, 32));
    connectionRASRadioButton->adjustSize();
    connectionButtons = new QButtonGroup(&form);
    connectionButtons->addButton(connectionLANRadioButton, 0);
    connectionButtons->addButton(connectionRASRadioButton, 1);
    connectionLANRadioButton->setChecked(true);

    MakeWrappedLabel(page,
                     "Only check mail and synchronize time when one of the selected RAS "
                     "connections is active:",
                     {26, 56, 335, 30});
    dialUpList = std::make_unique<DialUpList>(page);
    dialUpList->View()->setGeometry(units.Rect(26, 88, 335, 84));
    dialUpList->View()->setToolTip(
        "Select the RAS connections that must be active to reach the internet");

    MakeLabel(page, "Firewall:", 8, 182, true);
    MakeWrappedLabel(page,
                     "If you're computer connects to the internet using a firewall, ask your "
                     "local administrators, make sure that tcp-ports 110 (POP3) and 37 (Time) are "
                     "available and allow bidirectional outgoing connections.",
                     {8, 200, 353, 60});

    QObject::connect(connectionLANRadioButton, &QRadioButton::toggled, &form,
                     &TSettingsForm::ConnectionLANRadioButtonClick);
    QObject::connect(connectionRASRadioButton, &QRadioButton::toggled, &form,
                     &TSettingsForm::ConnectionRASRadioButtonClick);
    QWidget::setTabOrder(connectionLANRadioButton, connectionRASRadioButton);
    QWidget::setTabOrder(connectionRASRadioButton, dialUpList->View());
}

void SettingsFormUi::BuildAdvancedPage(TSettingsForm& form, QWidget* page)
{
    const DialogUnits units;
    MakeWrappedLabel(page,
                     "If you frequently receive network timeout messages you can increase the "
                     "time Vorlane waits before reporting a network error.",
                     {8, 10, 353, 42});
    auto* timeoutLabel = MakeLabel(page, "Connect&ion timeout:", 8, 63);
    connectionTimeoutEdit = new QLineEdit("60", page);
    connectionTimeoutEdit->setGeometry(units.Rect(140, 60, 50, 20));
    connectionTimeoutEdit->setToolTip(
        "Maximum time to elapse while communication with mail or timeservers");
    connectionTimeoutField =
        new WholeNumberField(connectionTimeoutEdit, 60, ParseWholeNumber, ParseNumberAboveZero);
    QObject::connect(connectionTimeoutField, &WholeNumberField::entered, &form,
                     &TSettingsForm::ConnectionTimeoutEditEnter);
    QObject::connect(connectionTimeoutField, &WholeNumberField::left, &form,
                     &TSettingsForm::ConnectionTimeoutEditExit);
    timeoutLabel->setBuddy(connectionTimeoutEdit);
    connectionTimeoutUpDown = new UpDown(page);
    connectionTimeoutUpDown->setGeometry(units.Rect(190, 60, 16, 20));
    connectionTimeoutUpDown->SetAssociate(connectionTimeoutEdit);
    connectionTimeoutUpDown->SetRange(5, 600);
    connectionTimeoutUpDown->SetPosition(60);
    MakeLabel(page, "[sec]", 212, 63);

    MakeWrappedLabel(page,
                     "Select this option if you want to log all actions to a file. Use this "
                     "option to trace problems.",
                     {8, 100, 353, 42});
    logToFileCheckBox = MakeCheckBox(page, "&Log to file vorlane.log", nullptr, 8, 146);
    logFileLabel = new QLabel(page);
    logFileLabel->setGeometry(units.Rect(26, 166, 335, 15));
    logFileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    MakeWrappedLabel(page,
                     "Vorlane can start by itself each time you log in to your desktop, so that "
                     "it checks your mail without being started by hand.",
                     {8, 192, 353, 42});
    startAtLoginCheckBox = MakeCheckBox(page, "Start Vorlane when I log in",
                                        "Add Vorlane to the programs your desktop starts at "
                                        "login",
                                        8, 238);
    QWidget::setTabOrder(connectionTimeoutEdit, logToFileCheckBox);
    QWidget::setTabOrder(logToFileCheckBox, startAtLoginCheckBox);
}

void SettingsFormUi::ShowLogFile(const std::string& fileName)
{
    // The whole path may not fit: its middle gives way, the tip holds all of it.
    const QString path = Q(fileName);
    logFileLabel->setText(
        logFileLabel->fontMetrics().elidedText(path, Qt::ElideMiddle, logFileLabel->width()));
    logFileLabel->setToolTip(path);
}

void SettingsFormUi::ShowSettings(const StoredSettings& stored)
{
    const auto boolean = [&](const char* name, QCheckBox* box) {
        if (const auto flag = stored.Boolean(name))
            box->setChecked(*flag);
    };
    const auto text = [&](const char* name, QLineEdit* edit) {
        if (const auto value = stored.String(name))
            edit->setText(Q(*value));
    };

    boolean("DisplayMessage", displayMessageCheckBox);
    boolean("AutoHide", autoHideCheckbox);
    if (const auto seconds = stored.Integer("AutoHideTime"))
        autoHideTimeComboBox->setCurrentIndex(AutoHideTimeIndex(*seconds));
    boolean("SystemBeep", systemBeepCheckbox);
    boolean("PlaySound", playSoundCheckBox);
    text("WaveFile", soundEdit);
    boolean("DisplayHeaders", headersCheckbox);
    boolean("AnnounceUnseenOnly", unseenOnlyCheckBox);
    boolean("DesktopNotification", desktopNotificationCheckBox);
    boolean("StartClient", startMailClientCheckbox);
    text("MailClient", mailClientEdit);
    if (const auto action = stored.Integer("IconClickAction"))
        iconClickActionComboBox->setCurrentIndex(*action >= 0 && *action <= 5 ? *action : -1);

    boolean("SyncronizeTime", synchronizeCheckBox);
    if (const auto server = stored.String("TimeServer"))
        timeServersComboBox->setEditText(Q(*server));
    if (const auto interval = stored.Integer("TimeSynchronizationInterval")) {
        if (*interval < 0)
            SetNoneChecked(intervalButtons);
        else
            intervalButtons->button(*interval == 0 ? 0 : 1)->setChecked(true);
    }

    if (const auto timeout = stored.Integer("ConnectionTimeout")) {
        connectionTimeoutUpDown->SetPosition(*timeout);
        connectionTimeoutField->SetLastAccepted(connectionTimeoutUpDown->Position());
    }

    connectionLANRadioButton->setChecked(true);
    if (const auto type = stored.Integer("ConnectionType")) {
        SetNoneChecked(connectionButtons);
        if (*type == 0)
            connectionLANRadioButton->setChecked(true);
        else if (*type == 1)
            connectionRASRadioButton->setChecked(true);
    }
    if (const auto connections = stored.String("RasConnection"))
        dialUpList->Select(*connections);
    boolean("LogToFile", logToFileCheckBox);
}

Settings SettingsFormUi::Values() const
{
    Settings s;
    s.DisplayMessage = displayMessageCheckBox->isChecked();
    s.AutoHide = autoHideCheckbox->isChecked();
    const int seconds = autoHideTimeComboBox->currentIndex();
    s.AutoHideTime = seconds >= 0 ? kAutoHideTimes[static_cast<std::size_t>(seconds)] : 3;
    s.SystemBeep = systemBeepCheckbox->isChecked();
    s.PlaySound = playSoundCheckBox->isChecked();
    s.WaveFile = S(soundEdit->text());
    s.DisplayHeaders = headersCheckbox->isChecked();
    s.AnnounceUnseenOnly = unseenOnlyCheckBox->isChecked();
    s.DesktopNotification = desktopNotificationCheckBox->isChecked();
    s.StartClient = startMailClientCheckbox->isChecked();
    s.MailClient = S(mailClientEdit->text());
    s.SyncronizeTime = synchronizeCheckBox->isChecked();
    s.LogToFile = logToFileCheckBox->isChecked();
    s.TimeServer = S(timeServersComboBox->currentText());
    s.TimeSynchronizationInterval = intervalButtons->checkedId();
    s.IconClickAction = iconClickActionComboBox->currentIndex();
    s.ConnectionTimeout = connectionTimeoutUpDown->Position();
    s.ConnectionType = !connectionLANRadioButton->isChecked();
    s.RasConnection = dialUpList->Selected();
    return s;
}

} // namespace vorlane
