#include "ui/SettingsForm.h"

#include "config/RegistryError.h"
#include "config/SettingsTable.h"
#include "mail/MailServer.h"
#include "net/RasBinding.h"
#include "ui/DialogButtons.h"
#include "ui/FixedDialog.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/MessageForm.h"
#include "ui/ProgramIcon.h"
#include "ui/QtText.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "ui/WholeNumberField.h"
#include "ui/gradbtn/GradBtn.h"
#include "util/WholeNumber.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace vorlane {

namespace {

constexpr int kClientWidth = 385;
constexpr int kClientHeight = 335;

// Sub-items of a row, after the caption; the password has no column.
constexpr int kUserNameColumn = 1;
constexpr int kServerColumn = 2;
constexpr int kIntervalColumn = 3;
constexpr int kSecurityColumn = 4;
constexpr int kPasswordRole = Qt::UserRole;
constexpr int kSecurityRole = Qt::UserRole + 1;
constexpr int kPortRole = Qt::UserRole + 2; // 0: the usual port of the security

const char* const kIconClickActions[] = {
    "Check for new mail", "Synchronize time",
    "Start mail client",  "Start mail client & Stop waving",
    "Stop waving",        "Nothing",
};

QLabel* MakeLabel(QWidget* parent, const char* text, int x, int y, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLabel* MakeWrappedLabel(QWidget* parent, const char* text, QRect geometry)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* text, const char* hint, int x, int y)
{
    auto* box = new QCheckBox(text, parent);
    if (hint != nullptr)
        box->setToolTip(hint);
    box->move(x, y);
    box->adjustSize();
    return box;
}

// The platform's locale-aware order. The C locale has no collation of its own (its code-point
// order puts every capital before every small letter), so it falls back to English.
QCollator LocaleCollator()
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QCollator(QLocale(QLocale::English, QLocale::UnitedStates));
    return QCollator(locale);
}

void SetNoneChecked(QButtonGroup* group)
{
    group->setExclusive(false);
    for (auto* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

std::vector<std::string> RowTexts(const QListWidget* list)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list->count(); ++row)
        texts.push_back(S(list->item(row)->text()));
    return texts;
}

void SetSecurity(QTreeWidgetItem* item, int security, int port)
{
    item->setData(0, kSecurityRole, security);
    item->setData(0, kPortRole, port);
    item->setText(kSecurityColumn, SecurityColumnText(security));
    const int shown = PortShown(security, port);
    item->setToolTip(kSecurityColumn,
                     QString("%1, port %2").arg(SecurityColumnText(security)).arg(shown));
}

} // namespace

TSettingsForm::TSettingsForm(RegistryStore& store, SettingsFormServices services, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), store_(store), services_(std::move(services)),
      autostart_(services_.autostartFolder.empty() ? Autostart::ForCurrentUser()
                                                   : Autostart(services_.autostartFolder)),
      collator_(LocaleCollator())
{
    if (!services_.runModal)
        services_.runModal = RunModal;
    if (!services_.listPhoneBookEntries)
        services_.listPhoneBookEntries = [] { return RasBinding().ListPhoneBookEntries(); };
    if (services_.executablePath.empty())
        services_.executablePath = S(QCoreApplication::applicationFilePath());

    SetUpFixedDialog(*this, "Vorlane: Settings", kClientWidth, kClientHeight);

    pageControl_ = new QTabWidget(this);
    pageControl_->setGeometry(4, 4, kClientWidth - 8, 296);
    // All four tabs in one row, as the fixed client width was laid out for.
    pageControl_->setUsesScrollButtons(false);
    pageControl_->setStyleSheet("QTabBar::tab { padding: 3px 5px; }");
    auto* newMail = new QWidget;
    BuildNewMailPage(newMail);
    pageControl_->addTab(newMail, "&New mail");
    timeTabSheet_ = new QWidget;
    BuildTimePage(timeTabSheet_);
    pageControl_->addTab(timeTabSheet_, "&Time synchronization");
    auto* connection = new QWidget;
    BuildConnectionPage(connection);
    pageControl_->addTab(connection, "C&onnection");
    auto* advanced = new QWidget;
    BuildAdvancedPage(advanced);
    pageControl_->addTab(advanced, "Ad&vanced");
    connect(pageControl_, &QTabWidget::currentChanged, this, &TSettingsForm::PageChanged);

    std::tie(okGradBtn_, cancelGradBtn_) = AddOkCancelButtons(this, 110, 200, 307);
    setTabOrder(pageControl_, okGradBtn_);
    setTabOrder(okGradBtn_, cancelGradBtn_);

    connect(qApp, &QApplication::focusChanged, this, &TSettingsForm::FocusChanged);

    FormCreate();
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::BuildNewMailPage(QWidget* page)
{
    auto* serversLabel = MakeLabel(page, "&Mail servers:", 8, 6, true);

    mailServersListView_ = new QTreeWidget(page);
    mailServersListView_->setGeometry(8, 22, 272, 102);
    mailServersListView_->setColumnCount(5);
    mailServersListView_->setHeaderLabels(
        {"Server Name", "Username", "POP3 Server", "Interval", "Security"});
    for (const auto& [column, width] :
         {std::pair{0, 100}, {1, 75}, {2, 120}, {3, 60}, {kSecurityColumn, 60}})
        mailServersListView_->setColumnWidth(column, width);
    mailServersListView_->setToolTip("Mail servers to poll for new mail");
    mailServersListView_->setRootIsDecorated(false);
    mailServersListView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mailServersListView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    mailServersListView_->setIconSize(QSize(16, 16));
    mailServersListView_->header()->setSectionsClickable(false);
    mailServersListView_->header()->setSectionsMovable(false);
    serversLabel->setBuddy(mailServersListView_);
    connect(mailServersListView_, &QTreeWidget::itemSelectionChanged, this,
            &TSettingsForm::MailServersListViewChange);

    newGradBtn_ = AddAluminumButton(page, {286, 22, 75, 22}, this, &TSettingsForm::NewGradBtnClick,
                                    "New", "Verdana", "Create a new mail server entry");
    editGradBtn_ =
        AddAluminumButton(page, {286, 48, 75, 22}, this, &TSettingsForm::EditGradBtnClick, "Edit",
                          "Verdana", "Edit the current mail server entry");
    editGradBtn_->setEnabled(false);
    removeGradBtn_ =
        AddAluminumButton(page, {286, 74, 75, 22}, this, &TSettingsForm::RemoveGradBtnClick,
                          "Remove", "Verdana", "Remove all selected mail server entries");
    removeGradBtn_->setEnabled(false);

    auto* separator = new QFrame(page);
    separator->setGeometry(8, 130, 353, 2);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    MakeLabel(page, "New mail notification:", 8, 135, true);

    displayMessageCheckBox_ =
        MakeCheckBox(page, "Display a &message", "Display a message if new mail is found", 8, 152);
    displayMessageCheckBox_->setChecked(true);
    autoHideCheckbox_ = MakeCheckBox(page, "Auto &hide after",
                                     "Automaticly hide the message afther 3 seconds", 150, 152);
    autoHideCheckbox_->setChecked(true);
    autoHideTimeComboBox_ = new QComboBox(page);
    autoHideTimeComboBox_->setGeometry(270, 150, 42, 20);
    for (int seconds : kAutoHideTimes)
        autoHideTimeComboBox_->addItem(QString::number(seconds));
    autoHideTimeComboBox_->setToolTip(
        "number of seconds to wait before the message window will be closed");
    autoHideSecondsLabel_ = MakeLabel(page, "seconds", 316, 153);

    systemBeepCheckbox_ =
        MakeCheckBox(page, "System &beep", "Play some beeps on the system speaker", 8, 174);
    systemBeepCheckbox_->setChecked(true);
    headersCheckbox_ = MakeCheckBox(page, "&Display mail headers", nullptr, 150, 174);

    playSoundCheckBox_ = MakeCheckBox(page, "&Play sound", "Play a wave file", 8, 198);
    soundEdit_ = new QLineEdit(page);
    soundEdit_->setGeometry(138, 197, 142, 20);
    soundEdit_->setToolTip("Enter the filename of the wavefile to play");
    soundEdit_->setEnabled(false);
    browseSoundGradBtn_ =
        AddAluminumButton(page, {286, 196, 75, 22}, this, &TSettingsForm::BrowseSoundGradBtnClick,
                          "Browse", "Verdana", "Browse for a wave file");
    browseSoundGradBtn_->setEnabled(false);

    startMailClientCheckbox_ =
        MakeCheckBox(page, "Start mail &client:", "Start your favorite mail client", 8, 222);
    mailClientEdit_ = new QLineEdit(page);
    mailClientEdit_->setGeometry(138, 221, 142, 20);
    mailClientEdit_->setToolTip("Filename of your favorite mail client");
    mailClientEdit_->setEnabled(false);
    browseClientGradBtn_ =
        AddAluminumButton(page, {286, 220, 75, 22}, this, &TSettingsForm::BrowseClientGradBtnClick,
                          "Browse", "Verdana", "Browse for a mail client");
    browseClientGradBtn_->setEnabled(false);

    auto* actionLabel = MakeLabel(page, "&Icon click action:", 8, 249);
    actionLabel->setToolTip("What happens when someone double clicks the tray icon");
    iconClickActionComboBox_ = new QComboBox(page);
    iconClickActionComboBox_->setGeometry(138, 246, 223, 20);
    for (const char* action : kIconClickActions)
        iconClickActionComboBox_->addItem(action);
    iconClickActionComboBox_->setToolTip(
        "Action to start when someone double clicks the tray icon");
    actionLabel->setBuddy(iconClickActionComboBox_);

    connect(displayMessageCheckBox_, &QCheckBox::toggled, this,
            &TSettingsForm::DisplayMessageCheckBoxClick);
    connect(playSoundCheckBox_, &QCheckBox::toggled, this, &TSettingsForm::PlaySoundCheckBoxClick);
    connect(startMailClientCheckbox_, &QCheckBox::toggled, this,
            &TSettingsForm::StartMailClientCheckboxClick);

    QWidget* order[] = {mailServersListView_,
                        newGradBtn_,
                        editGradBtn_,
                        removeGradBtn_,
                        displayMessageCheckBox_,
                        autoHideCheckbox_,
                        autoHideTimeComboBox_,
                        systemBeepCheckbox_,
                        headersCheckbox_,
                        playSoundCheckBox_,
                        soundEdit_,
                        browseSoundGradBtn_,
                        startMailClientCheckbox_,
                        mailClientEdit_,
                        browseClientGradBtn_,
                        iconClickActionComboBox_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TSettingsForm::BuildTimePage(QWidget* page)
{
    synchronizeCheckBox_ = MakeCheckBox(
        page, "&Synchronize time",
        "Enable to synchronize your local time with a timeserver on the internet", 8, 10);
    auto* serverLabel = MakeLabel(page, "&Time server:", 8, 41);
    timeServersComboBox_ = new QComboBox(page);
    timeServersComboBox_->setEditable(true);
    timeServersComboBox_->setInsertPolicy(QComboBox::NoInsert);
    timeServersComboBox_->setGeometry(100, 38, 200, 20);
    for (const char* host : kDefaultTimeServers)
        timeServersComboBox_->addItem(host);
    timeServersComboBox_->setCurrentIndex(-1);
    timeServersComboBox_->setEditText(QString());
    timeServersComboBox_->setToolTip("Hostname of the timeserver to synchronize with");
    serverLabel->setBuddy(timeServersComboBox_);

    intervalRadioGroup_ = new QGroupBox(" Interval ", page);
    intervalRadioGroup_->setGeometry(8, 70, 200, 66);
    intervalRadioGroup_->setToolTip("Synchronize every hour or once a day");
    intervalButtons_ = new QButtonGroup(this);
    auto* hourly = new QRadioButton("H&ourly", intervalRadioGroup_);
    hourly->move(12, 20);
    hourly->adjustSize();
    auto* daily = new QRadioButton("&Daily", intervalRadioGroup_);
    daily->move(12, 40);
    daily->adjustSize();
    intervalButtons_->addButton(hourly, 0);
    intervalButtons_->addButton(daily, 1);
    hourly->setChecked(true);

    connect(synchronizeCheckBox_, &QCheckBox::toggled, this,
            &TSettingsForm::SynchronizeCheckBoxClick);
    setTabOrder(synchronizeCheckBox_, timeServersComboBox_);
    setTabOrder(timeServersComboBox_, hourly);
}

void TSettingsForm::BuildConnectionPage(QWidget* page)
{
    connectionLANRadioButton_ = new QRadioButton("I use a &LAN to connect to the internet", page);
    connectionLANRadioButton_->setToolTip("Try to reach the internet using the LAN connection");
    connectionLANRadioButton_->move(8, 10);
    connectionLANRadioButton_->adjustSize();
    connectionRASRadioButton_ = new QRadioButton("I use &RAS to connect to the internet", page);
    connectionRASRadioButton_->setToolTip(
        "Select the RAS connections that must be active to reach the internet");
    connectionRASRadioButton_->move(8, 32);
    connectionRASRadioButton_->adjustSize();
    connectionButtons_ = new QButtonGroup(this);
    connectionButtons_->addButton(connectionLANRadioButton_, 0);
    connectionButtons_->addButton(connectionRASRadioButton_, 1);
    connectionLANRadioButton_->setChecked(true);

    MakeWrappedLabel(page,
                     "Only check mail and synchronize time when one of the selected RAS "
                     "connections is active:",
                     {26, 56, 335, 30});
    rasConnectionsCheckListBox_ = new QListWidget(page);
    rasConnectionsCheckListBox_->setGeometry(26, 88, 335, 84);
    rasConnectionsCheckListBox_->setToolTip(
        "Select the RAS connections that must be active to reach the internet");

    MakeLabel(page, "Firewall:", 8, 182, true);
    MakeWrappedLabel(page,
                     "If you're computer connects to the internet using a firewall, ask your "
                     "local administrators, make sure that tcp-ports 110 (POP3) and 37 (Time) are "
                     "available and allow bidirectional outgoing connections.",
                     {8, 200, 353, 60});

    connect(connectionLANRadioButton_, &QRadioButton::toggled, this,
            &TSettingsForm::ConnectionLANRadioButtonClick);
    connect(connectionRASRadioButton_, &QRadioButton::toggled, this,
            &TSettingsForm::ConnectionRASRadioButtonClick);
    setTabOrder(connectionLANRadioButton_, connectionRASRadioButton_);
    setTabOrder(connectionRASRadioButton_, rasConnectionsCheckListBox_);
}

void TSettingsForm::BuildAdvancedPage(QWidget* page)
{
    MakeWrappedLabel(page,
                     "If you frequently receive network timeout messages you can increase the "
                     "time Vorlane waits before reporting a network error.",
                     {8, 10, 353, 42});
    auto* timeoutLabel = MakeLabel(page, "Connect&ion timeout:", 8, 63);
    connectionTimeoutEdit_ = new QLineEdit("60", page);
    connectionTimeoutEdit_->setGeometry(140, 60, 50, 20);
    connectionTimeoutEdit_->setToolTip(
        "Maximum time to elapse while communication with mail or timeservers");
    connectionTimeoutField_ =
        new WholeNumberField(connectionTimeoutEdit_, 60, ParseWholeNumber, ParseNumberAboveZero);
    connect(connectionTimeoutField_, &WholeNumberField::entered, this,
            &TSettingsForm::ConnectionTimeoutEditEnter);
    connect(connectionTimeoutField_, &WholeNumberField::left, this,
            &TSettingsForm::ConnectionTimeoutEditExit);
    timeoutLabel->setBuddy(connectionTimeoutEdit_);
    connectionTimeoutUpDown_ = new UpDown(page);
    connectionTimeoutUpDown_->setGeometry(190, 60, 16, 20);
    connectionTimeoutUpDown_->SetAssociate(connectionTimeoutEdit_);
    connectionTimeoutUpDown_->SetRange(5, 600);
    connectionTimeoutUpDown_->SetPosition(60);
    MakeLabel(page, "[sec]", 212, 63);

    MakeWrappedLabel(page,
                     "Select this option if you want to log all actions to a file. Use this "
                     "option to trace problems.",
                     {8, 100, 353, 42});
    logToFileCheckBox_ = MakeCheckBox(page, "&Log to file vorlane.log", nullptr, 8, 146);

    MakeWrappedLabel(page,
                     "Vorlane can start by itself each time you log in to your desktop, so that "
                     "it checks your mail without being started by hand.",
                     {8, 180, 353, 42});
    startAtLoginCheckBox_ = MakeCheckBox(page, "Start Vorlane when I log in",
                                         "Add Vorlane to the programs your desktop starts at "
                                         "login",
                                         8, 226);
    setTabOrder(connectionTimeoutEdit_, logToFileCheckBox_);
    setTabOrder(logToFileCheckBox_, startAtLoginCheckBox_);
}

void TSettingsForm::FormCreate()
{
    iconClickActionComboBox_->setCurrentIndex(0);
    autoHideTimeComboBox_->setCurrentIndex(AutoHideTimeIndex(3));
    startAtLoginCheckBox_->setChecked(autostart_.Enabled());
    FillRasConnections();
    ReadSettings();
    SynchronizeCheckBoxClick();
    ConnectionLANRadioButtonClick();
    DisplayMessageCheckBoxClick();
    PlaySoundCheckBoxClick();
    StartMailClientCheckboxClick();
    pageControl_->setCurrentIndex(NewMailPage);
    currentPage_ = NewMailPage;
}

void TSettingsForm::FillRasConnections()
{
    const auto names = services_.listPhoneBookEntries();
    if (!names) {
        connectionRASRadioButton_->setEnabled(false);
        return;
    }
    rasConnectionsCheckListBox_->clear();
    for (const auto& name : *names) {
        auto* item = new QListWidgetItem(Q(name), rasConnectionsCheckListBox_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connectionRASRadioButton_->setEnabled(!names->empty());
    if (!names->empty())
        rasConnectionsCheckListBox_->setCurrentRow(0, QItemSelectionModel::NoUpdate);
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
    const StoredSettings stored(*key, problem);
    const auto boolean = [&](const char* name, QCheckBox* box) {
        if (const auto flag = stored.Boolean(name))
            box->setChecked(*flag);
    };
    const auto text = [&](const char* name, QLineEdit* edit) {
        if (const auto value = stored.String(name))
            edit->setText(Q(*value));
    };

    boolean("DisplayMessage", displayMessageCheckBox_);
    boolean("AutoHide", autoHideCheckbox_);
    if (const auto seconds = stored.Integer("AutoHideTime"))
        autoHideTimeComboBox_->setCurrentIndex(AutoHideTimeIndex(*seconds));
    boolean("SystemBeep", systemBeepCheckbox_);
    boolean("PlaySound", playSoundCheckBox_);
    text("WaveFile", soundEdit_);
    boolean("DisplayHeaders", headersCheckbox_);
    boolean("StartClient", startMailClientCheckbox_);
    text("MailClient", mailClientEdit_);
    if (const auto action = stored.Integer("IconClickAction"))
        iconClickActionComboBox_->setCurrentIndex(*action >= 0 && *action <= 5 ? *action : -1);

    boolean("SyncronizeTime", synchronizeCheckBox_);
    if (const auto server = stored.String("TimeServer"))
        timeServersComboBox_->setEditText(Q(*server));
    if (const auto interval = stored.Integer("TimeSynchronizationInterval")) {
        if (*interval < 0)
            SetNoneChecked(intervalButtons_);
        else
            intervalButtons_->button(*interval == 0 ? 0 : 1)->setChecked(true);
    }

    if (const auto timeout = stored.Integer("ConnectionTimeout")) {
        connectionTimeoutUpDown_->SetPosition(*timeout);
        connectionTimeoutField_->SetLastAccepted(connectionTimeoutUpDown_->Position());
    }

    connectionLANRadioButton_->setChecked(true);
    if (const auto type = stored.Integer("ConnectionType")) {
        SetNoneChecked(connectionButtons_);
        if (*type == 0)
            connectionLANRadioButton_->setChecked(true);
        else if (*type == 1)
            connectionRASRadioButton_->setChecked(true);
    }
    if (const auto connections = stored.String("RasConnection"))
        SelectRasConnections(*connections);
    ConnectionLANRadioButtonClick();
    boolean("LogToFile", logToFileCheckBox_);

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
        if (values.Port)
            row.Port = PortStored(row.Security, *values.Port);
        AddRow(row);
        shownEntries_.push_back(name);
    }
    if (!problems.empty())
        readSettingsError_ = UnreadableValuesMessage(problems);
}

Settings TSettingsForm::Values() const
{
    Settings s;
    s.DisplayMessage = displayMessageCheckBox_->isChecked();
    s.AutoHide = autoHideCheckbox_->isChecked();
    const int seconds = autoHideTimeComboBox_->currentIndex();
    s.AutoHideTime = seconds >= 0 ? kAutoHideTimes[static_cast<std::size_t>(seconds)] : 3;
    s.SystemBeep = systemBeepCheckbox_->isChecked();
    s.PlaySound = playSoundCheckBox_->isChecked();
    s.WaveFile = S(soundEdit_->text());
    s.DisplayHeaders = headersCheckbox_->isChecked();
    s.StartClient = startMailClientCheckbox_->isChecked();
    s.MailClient = S(mailClientEdit_->text());
    s.SyncronizeTime = synchronizeCheckBox_->isChecked();
    s.LogToFile = logToFileCheckBox_->isChecked();
    s.TimeServer = S(timeServersComboBox_->currentText());
    s.TimeSynchronizationInterval = intervalButtons_->checkedId();
    s.IconClickAction = iconClickActionComboBox_->currentIndex();
    s.ConnectionTimeout = connectionTimeoutUpDown_->Position();
    s.ConnectionType = !connectionLANRadioButton_->isChecked();
    s.RasConnection = SelectedRasConnections();
    return s;
}

std::vector<MailServerRow> TSettingsForm::Rows() const
{
    std::vector<MailServerRow> rows;
    for (int i = 0; i < mailServersListView_->topLevelItemCount(); ++i) {
        const auto* item = mailServersListView_->topLevelItem(i);
        rows.push_back({S(item->text(0)), S(item->text(kUserNameColumn)),
                        S(item->text(kServerColumn)), S(item->text(kIntervalColumn)),
                        item->data(0, kPasswordRole).toByteArray().toStdString(),
                        item->data(0, kSecurityRole).toInt(), item->data(0, kPortRole).toInt()});
    }
    return rows;
}

void TSettingsForm::WriteSettings()
{
    const auto setAside = ::vorlane::WriteSettings(
        store_, Values(), Rows(), shownEntries_,
        damagedFile_ ? RegistryStore::DamagedFile::SetAside : RegistryStore::DamagedFile::Refuse);
    if (setAside)
        ShowMessage("The damaged settings file is kept as " + setAside->string() + ".");
}

void TSettingsForm::WriteAutostart()
{
    const bool wanted = startAtLoginCheckBox_->isChecked();
    if (wanted == autostart_.Enabled())
        return;
    if (wanted)
        autostart_.Enable(services_.executablePath);
    else
        autostart_.Disable();
}

void TSettingsForm::SelectRasConnections(const std::string& rasConnection)
{
    const auto ticks = RasConnectionTicks(rasConnection, RowTexts(rasConnectionsCheckListBox_));
    for (int row = 0; row < rasConnectionsCheckListBox_->count(); ++row)
        rasConnectionsCheckListBox_->item(row)->setCheckState(
            ticks[static_cast<std::size_t>(row)] ? Qt::Checked : Qt::Unchecked);
}

std::string TSettingsForm::SelectedRasConnections() const
{
    std::vector<bool> ticked;
    for (int row = 0; row < rasConnectionsCheckListBox_->count(); ++row)
        ticked.push_back(rasConnectionsCheckListBox_->item(row)->checkState() == Qt::Checked);
    return ::vorlane::SelectedRasConnections(RowTexts(rasConnectionsCheckListBox_), ticked);
}

QTreeWidgetItem* TSettingsForm::AddRow(const MailServerRow& row)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, Q(row.Name));
    item->setText(kUserNameColumn, Q(row.UserName));
    item->setText(kServerColumn, Q(row.Server));
    item->setText(kIntervalColumn, Q(row.Interval));
    // Bytes as they are: a password need not be valid text.
    item->setData(0, kPasswordRole, QByteArray::fromStdString(row.Password));
    SetSecurity(item, row.Security, row.Port);
    item->setIcon(0, QPixmap::fromImage(ProgramIconImage(16)));
    int at = 0;
    const int count = mailServersListView_->topLevelItemCount();
    while (at < count &&
           collator_.compare(mailServersListView_->topLevelItem(at)->text(0), item->text(0)) <= 0)
        ++at;
    mailServersListView_->insertTopLevelItem(at, item);
    return item;
}

std::vector<std::string> TSettingsForm::RowNames() const
{
    std::vector<std::string> names;
    for (const auto& row : Rows())
        names.push_back(row.Name);
    return names;
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
    for (;;) {
        if (services_.runModal(form) != QDialog::Accepted)
            return;
        const std::string name = TrimBlanks(S(form.ServerNameEdit()->text()));
        switch (CheckNewEntryName(name, RowNames())) {
        case EntryNameProblem::None: {
            auto* item =
                AddRow({name, S(form.UserNameEdit()->text()), S(form.POP3ServerEdit()->text()),
                        S(form.IntervalEdit()->text()), form.Password(), form.Security(),
                        PortStored(form.Security(), form.Port())});
            mailServersListView_->scrollToItem(item);
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
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < mailServersListView_->topLevelItemCount() && item == nullptr; ++i)
        if (mailServersListView_->topLevelItem(i)->isSelected())
            item = mailServersListView_->topLevelItem(i);
    if (item == nullptr)
        return;

    TMailServerSettingsForm form(this);
    form.ServerNameEdit()->setText(item->text(0));
    form.UserNameEdit()->setText(item->text(kUserNameColumn));
    form.POP3ServerEdit()->setText(item->text(kServerColumn));
    form.IntervalUpDown()->SetPosition(
        ParseWholeNumber(S(item->text(kIntervalColumn))).value_or(kDefaultInterval));
    form.SetPassword(item->data(0, kPasswordRole).toByteArray().toStdString());
    form.SetSecurity(item->data(0, kSecurityRole).toInt(), item->data(0, kPortRole).toInt());
    form.SetServerNameReadOnly(true);
    if (services_.runModal(form) != QDialog::Accepted)
        return;
    item->setText(kUserNameColumn, form.UserNameEdit()->text());
    item->setText(kServerColumn, form.POP3ServerEdit()->text());
    item->setText(kIntervalColumn, form.IntervalEdit()->text());
    item->setData(0, kPasswordRole, QByteArray::fromStdString(form.Password()));
    SetSecurity(item, form.Security(), PortStored(form.Security(), form.Port()));
}

void TSettingsForm::RemoveGradBtnClick()
{
    for (int i = mailServersListView_->topLevelItemCount() - 1; i >= 0; --i)
        if (mailServersListView_->topLevelItem(i)->isSelected())
            delete mailServersListView_->takeTopLevelItem(i);
    MailServersListViewChange();
}

void TSettingsForm::MailServersListViewChange()
{
    const bool any = !mailServersListView_->selectedItems().isEmpty();
    editGradBtn_->setEnabled(any);
    removeGradBtn_->setEnabled(any);
}

bool TSettingsForm::ChooseFile(const char* filter, const char* defaultSuffix, const char* title,
                               bool executablesFirst, QLineEdit* target)
{
    QFileDialog dialog(this, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const auto& nameFilter : NameFilters(filter))
        filters << Q(nameFilter);
    dialog.setNameFilters(filters);
    if (defaultSuffix != nullptr)
        dialog.setDefaultSuffix(defaultSuffix);
    if (executablesFirst) {
        // Programs here carry no ".exe": the first filter shows the files one may run.
        const QString executables = filters.value(0);
        const auto follow = [&dialog, executables](const QString& chosen) {
            QDir::Filters shown = QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot;
            if (chosen == executables)
                shown |= QDir::Executable;
            dialog.setFilter(shown);
        };
        connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
        dialog.setNameFilters({"Executables files (*)", filters.value(1)});
        follow("Executables files (*)");
    }
    if (services_.runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    target->setText(dialog.selectedFiles().front());
    return true;
}

void TSettingsForm::BrowseSoundGradBtnClick()
{
    ChooseFile("Wave files|*.wav|All Files|*.*", "wav", "Select a wave file", false, soundEdit_);
}

void TSettingsForm::BrowseClientGradBtnClick()
{
    ChooseFile("Executables files|*.exe|All Files|*.*", nullptr, "Select your favorite mail client",
               true, mailClientEdit_);
}

void TSettingsForm::DisplayMessageCheckBoxClick()
{
    autoHideCheckbox_->setEnabled(displayMessageCheckBox_->isChecked());
    autoHideTimeComboBox_->setEnabled(autoHideCheckbox_->isEnabled());
    autoHideSecondsLabel_->setEnabled(autoHideCheckbox_->isEnabled());
}

void TSettingsForm::PlaySoundCheckBoxClick()
{
    soundEdit_->setEnabled(playSoundCheckBox_->isChecked());
    browseSoundGradBtn_->setEnabled(playSoundCheckBox_->isChecked());
}

void TSettingsForm::StartMailClientCheckboxClick()
{
    mailClientEdit_->setEnabled(startMailClientCheckbox_->isChecked());
    browseClientGradBtn_->setEnabled(startMailClientCheckbox_->isChecked());
}

void TSettingsForm::SynchronizeCheckBoxClick()
{
    timeServersComboBox_->setEnabled(synchronizeCheckBox_->isChecked());
    intervalRadioGroup_->setEnabled(synchronizeCheckBox_->isChecked());
}

void TSettingsForm::ConnectionLANRadioButtonClick()
{
    rasConnectionsCheckListBox_->setEnabled(!connectionLANRadioButton_->isChecked());
}

void TSettingsForm::ConnectionRASRadioButtonClick()
{
    ConnectionLANRadioButtonClick();
}

bool TSettingsForm::TimeServerRuleBroken() const
{
    return ::vorlane::TimeServerRuleBroken(synchronizeCheckBox_->isChecked(),
                                           S(timeServersComboBox_->currentText()));
}

bool TSettingsForm::PageControlChanging()
{
    if (pageControl_->currentWidget() != timeTabSheet_ || !TimeServerRuleBroken())
        return true;
    ShowMessage(kNoTimeServerText);
    timeServersComboBox_->setFocus();
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
    pageControl_->setCurrentIndex(currentPage_);
    revertingPage_ = false;
    if (!PageControlChanging())
        return;
    revertingPage_ = true;
    pageControl_->setCurrentIndex(wanted);
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
        !timeTabSheet_->isAncestorOf(old) || timeTabSheet_->isAncestorOf(now))
        return;
    // A change of page asks on its own; checked once the change is over, so only a move of
    // the focus that stays off the page tells.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QWidget* focus = QApplication::focusWidget();
            if (showingMessage_ || focus == nullptr || focus->window() != this ||
                timeTabSheet_->isAncestorOf(focus) ||
                pageControl_->currentWidget() != timeTabSheet_)
                return;
            TimeTabSheetExit();
        },
        Qt::QueuedConnection);
}

std::int32_t TSettingsForm::LastAcceptedTimeout() const
{
    return connectionTimeoutField_->LastAccepted();
}

void TSettingsForm::ConnectionTimeoutEditEnter()
{
    // Text that is not a whole number leaves the last accepted value as it was.
    connectionTimeoutField_->Enter();
}

void TSettingsForm::ConnectionTimeoutEditExit()
{
    connectionTimeoutField_->Leave();
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

void TSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    okGradBtn_->SetFocus();
    if (!readSettingsError_.empty() && !readSettingsErrorShown_) {
        readSettingsErrorShown_ = true;
        // Once the dialog is on screen, so that the user sees what the message is about.
        QTimer::singleShot(0, this, [this] { ShowMessage(readSettingsError_); });
    }
}

} // namespace vorlane
