#include "app/ProtocolForm.h"

#include "app/Application.h"
#include "app/TrayTip.h"
#include "config/Migration.h"
#include "config/RegistryError.h"
#include "config/SettingsStore.h"
#include "mail/MailErrorReport.h"
#include "net/ConnectionGate.h"
#include "net/RasBinding.h"
#include "net/SocketErrors.h"
#include "timesync/LocalClock.h"
#include "timesync/SetClock.h"
#include "timesync/SyncSchedule.h"
#include "timesync/TimeServerAddress.h"
#include "timesync/TimeTexts.h"
#include "util/Log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QWidget>
#include <cstdint>
#include <exception>

namespace vorlane {

namespace {

// Runs its action when the scope ends, also when a failure ends it.
template <typename Action> class Finally
{
public:
    explicit Finally(Action action) : action_(std::move(action)) {}
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;
    ~Finally() { action_(); }

private:
    Action action_;
};

// Sums of many mailboxes wrap instead of overflowing; the total is only compared for change.
int WrappingAdd(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr int kImageNoMail = 0;
constexpr int kImagePolling = 1;
constexpr int kImageMailWaiting = 2;
constexpr int kImageSynchronizing = 9;
constexpr int kImagePaused = 10;

} // namespace

TProtocolForm::TProtocolForm(Environment environment, QObject* parent)
    : QObject(parent), LogFileName(std::move(environment.logFileName)),
      Mail(*this, [this](const std::string& text) { LogDialogueLine(text); }), ClientSocket(*this),
      store_(environment.store), desktop_(environment.desktop), clock_(environment.clock),
      mailPort_(environment.mailPort), timePort_(environment.timePort),
      startupProblems_(std::move(environment.startupProblems))
{
    IntervalTimer.setInterval(60000);
    ProtocolTimer.setInterval(15000);
    // The time-out must end a conversation on time, not within a coarse timer's 5 %.
    ProtocolTimer.setTimerType(Qt::PreciseTimer);
    IconTimer.setInterval(100);
    connect(&IntervalTimer, &QTimer::timeout, this, &TProtocolForm::IntervalTimerTimer);
    connect(&ProtocolTimer, &QTimer::timeout, this, &TProtocolForm::ProtocolTimerTimer);
    connect(&IconTimer, &QTimer::timeout, this, &TProtocolForm::IconTimerTimer);
    if (!environment.extraCaCertificates.isEmpty())
        ClientSocket.AddCaCertificates(environment.extraCaCertificates);
}

TProtocolForm::~TProtocolForm()
{
    FormDestroy();
}

void TProtocolForm::RunStep(const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception& failure) {
        ApplicationException(failure.what());
    }
}

void TProtocolForm::FormCreate()
{
    RunStep([this] { MigrateOldSettings(); });
    RunStep([this] { LoadSettings(); });
    RunStep([this] { AddTrayIcon(); });
    for (const auto& problem : std::exchange(startupProblems_, {}))
        desktop_.ShowMessage(problem);
    RunStep([this] { IntervalTimerTimer(); });
}

void TProtocolForm::FormDestroy()
{
    RemoveTrayIcon();
    MailServers.clear();
    MailMessages.clear();
}

void TProtocolForm::ExitMenuItemClick()
{
    exitRequested_ = true;
    RequestExit();
    // Windows open now close at once; the work that opened them then runs to its end.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    EndOfWork();
}

void TProtocolForm::EndOfWork()
{
    if (exitRequested_ && busy_ == 0)
        QCoreApplication::quit();
}

void TProtocolForm::IntervalTimerTimer()
{
    IntervalTimer.stop();
    SetMenuItemsEnabled(false);
    ++busy_;
    const Finally restore([this] {
        SetMenuItemsEnabled(true);
        StartIntervalTimer();
        --busy_;
        EndOfWork();
    });
    if (IsNetworkAvailable()) {
        CheckMail();
        SynchronizeIfDue();
    } else {
        ShowPausedState();
    }
}

void TProtocolForm::RunCommandWork(const std::function<void()>& work)
{
    SetMenuItemsEnabled(false);
    IntervalTimer.stop();
    IconTimer.stop(); // the end of the work decides anew whether the icon waves
    ++busy_;
    const Finally restore([this] {
        StartIntervalTimer();
        SetMenuItemsEnabled(true);
        --busy_;
        EndOfWork();
    });
    work();
}

void TProtocolForm::StartIntervalTimer()
{
    if (!settingsOpen_)
        IntervalTimer.start();
}

void TProtocolForm::StartProtocolTimer()
{
    ProtocolTimer.start();
    deadline_.setRemainingTime(ProtocolTimer.interval(), Qt::PreciseTimer);
}

bool TProtocolForm::DeadlinePassed() const
{
    return !TimedOut && ProtocolTimer.isActive() && deadline_.hasExpired();
}

void TProtocolForm::ChecknowMenuItemClick(int tag)
{
    RunCommandWork([this, tag] { CheckNow(tag); });
}

void TProtocolForm::CheckNow(int tag)
{
    if (tag == -1) {
        for (auto& entry : MailServers)
            entry.ResetSchedule();
    } else if (tag >= 0 && static_cast<std::size_t>(tag) < MailServers.size()) {
        MailServers[static_cast<std::size_t>(tag)].ResetSchedule();
    }
    CheckMail();
}

void TProtocolForm::CheckMail()
{
    TotalMailSize = 0;
    int count = 0;
    for (std::size_t i = MailServers.size(); i-- > 0;) {
        auto& entry = MailServers[i];
        if (entry.IsDue()) {
            LogMessage("Checking " + entry.Host + " for new mail.");
            MailMessages.clear();
            if (RunMailDialogue(entry)) {
                EvaluateNewMail(entry);
            } else {
                ReportMailError(entry.Name);
                entry.Failed = true;
            }
        }
        count = WrappingAdd(count, entry.MessageCount);
        TotalMailSize = WrappingAdd(TotalMailSize, entry.MailboxSize);
    }
    UpdateTrayStatus(count);
}

bool TProtocolForm::RunMailDialogue(TMailServer& entry)
{
    const int defaultPort =
        entry.Security == kSecurityImplicitTls ? DefaultMailPort(entry.Security) : mailPort_;
    ClientSocket.SetPort(entry.Port != 0 ? entry.Port : defaultPort);
    ClientSocket.SetSecurity(entry.Security == kSecurityImplicitTls ? SocketSecurity::ImplicitTls
                             : entry.Security == kSecuritySTLS      ? SocketSecurity::StartTls
                                                                    : SocketSecurity::None);
    ClientSocket.SetAddress(entry.IsAddress ? entry.Host : std::string());
    ClientSocket.SetHost(entry.IsAddress ? std::string() : entry.Host);
    SocketMode = 0;
    ShowCheckingStatus(entry.Host);
    dialogueLogBytes_ = 0;
    Mail.Start(entry.UserName, entry.Password, settings.DisplayHeaders, MailMessages,
               entry.Security == kSecuritySTLS);
    TimedOut = false;
    StartProtocolTimer();
    try {
        ClientSocket.Open();
    } catch (const std::exception& failure) {
        // An entry that cannot even be opened (no host) fails like any other poll, so it
        // cannot keep the entries after it from being polled; its report says why.
        ProtocolTimer.stop();
        ApplicationException(failure.what());
        if (ErrorDetail.empty())
            ErrorDetail = entry.Host.empty() ? "no mail server is set for this entry"
                                             : EscapeLogText(failure.what());
        Mail.Fail(MailFailure::CannotOpen);
        return false;
    }
    WaitWhile([this] {
        return Mail.MailState != 9 && !TimedOut && !Mail.MailFailed && ProtocolTimer.isActive();
    });
    ProtocolTimer.stop();
    ClientSocket.Close();
    if (Mail.MailBusy) {
        // A busy mailbox is a poll that found nothing new.
        Mail.StatCount = entry.MessageCount;
        Mail.StatSize = entry.MailboxSize;
        return true;
    }
    return Mail.MailState == 9;
}

void TProtocolForm::WaitWhile(const std::function<bool()>& waiting)
{
    if (!waiting())
        return;
    QEventLoop loop;
    QTimer step;
    step.setInterval(200);
    connect(&step, &QTimer::timeout, &loop, [&] {
        if (!waiting())
            loop.quit();
    });
    auto* const outerLoop = std::exchange(waitLoop_, &loop);
    auto outerCondition = std::exchange(waitCondition_, waiting);
    step.start();
    loop.exec();
    waitLoop_ = outerLoop;
    waitCondition_ = std::move(outerCondition);
}

void TProtocolForm::RetestWait()
{
    if (DeadlinePassed())
        ProtocolTimerTimer();
    if (waitLoop_ != nullptr && !waitCondition_())
        waitLoop_->quit();
}

void TProtocolForm::EvaluateNewMail(TMailServer& entry)
{
    entry.SetMessageCount(Mail.StatCount);
    entry.SetMailboxSize(Mail.StatSize);
    if (!entry.HasNewMail() || entry.MessageCount <= 0)
        return;
    StoppedWavingSize = -1;
    if (settings.SystemBeep)
        desktop_.Beep();
    if (settings.PlaySound)
        PlayWaveFile(settings.WaveFile);
    if (settings.DisplayMessage)
        ShowNewMailMessage(entry.Name, entry, settings.AutoHide);
    if (settings.StartClient)
        StartMailClient(settings.MailClient);
}

void TProtocolForm::ShowNewMailMessage(const std::string& entryName, const TMailServer& entry,
                                       bool autoHide)
{
    const auto text = entry.MessageCount == 1
                          ? "A new mail message has arrived at '" + entryName + "'"
                          : std::to_string(entry.MessageCount) +
                                " new mail messages have arrived at '" + entryName + "'";
    desktop_.ShowNewMailMessage(text, settings.DisplayHeaders ? &MailMessages : nullptr, autoHide,
                                settings.AutoHideTime);
}

void TProtocolForm::PlayWaveFile(const std::string& fileName)
{
    desktop_.PlayWaveFile(fileName);
}

void TProtocolForm::StartMailClient(const std::string& commandLine)
{
    LogMessage("Starting mail client: " + commandLine);
    desktop_.StartProcess(commandLine);
}

void TProtocolForm::ReportMailError(const std::string& entryName)
{
    const auto report = ComposeMailErrorReport(entryName, Mail.MailState, TimedOut, ErrorDetail,
                                               ClientSocket.TlsFailure(), Mail.Failure);
    LogMessage("Mail error: " + report);
    desktop_.ShowMessage(report);
}

void TProtocolForm::ProtocolTimerTimer()
{
    TimedOut = true;
    ClientSocket.Close();
    RetestWait();
}

void TProtocolForm::ClientSocketLookup()
{
    LogMessage("Socket: Resolving hostname");
    (SocketMode == 0 ? Mail.MailState : TimeState) = 1;
    RetestWait();
}

void TProtocolForm::ClientSocketConnecting()
{
    LogMessage("Socket: Connecting");
    (SocketMode == 0 ? Mail.MailState : TimeState) = 2;
    RetestWait();
}

void TProtocolForm::ClientSocketConnect()
{
    LogMessage("Socket: Connected");
    if (ClientSocket.Encrypted())
        LogMessage("Socket: TLS established, " + ClientSocket.TlsDescription());
    (SocketMode == 0 ? Mail.MailState : TimeState) = 3;
    RetestWait();
}

void TProtocolForm::ClientSocketEncrypted()
{
    LogMessage("Socket: TLS established, " + ClientSocket.TlsDescription());
    if (SocketMode == 0)
        Mail.TlsEstablished();
    RetestWait();
}

void TProtocolForm::ClientSocketRead()
{
    if (SocketMode == 0) {
        // Slice by slice, with the time-out checked in between: a server that never stops
        // sending keeps every timer waiting.
        while (ClientSocket.Active() && ClientSocket.ReceiveLength() > 0 && !Mail.Ended()) {
            Mail.SplitReceivedLines(ClientSocket.ReceiveText(kReadSlice));
            if (DeadlinePassed()) {
                ProtocolTimerTimer();
                break;
            }
        }
    } else {
        // The four bytes must be readable together; anything else is wrong data.
        const auto readable = ClientSocket.ReceiveLength();
        if (readable == static_cast<qint64>(kTimeDataSize)) {
            TimeData data{};
            ClientSocket.ReceiveBuf(reinterpret_cast<char*>(data.data()), kTimeDataSize);
            SetClockFromTimeData(data);
        } else {
            LogMessage(InvalidDataSizeLine(static_cast<std::size_t>(readable)));
            TimeFailed = true;
            ClientSocket.Close();
        }
    }
    RetestWait();
}

void TProtocolForm::ClientSocketError(int& errorCode)
{
    LogMessage(SocketErrorLogLine(errorCode));
    (SocketMode == 0 ? Mail.MailFailed : TimeFailed) = true;
    ClientSocket.Close();
    errorCode = 0;
    RetestWait();
}

void TProtocolForm::ClientSocketDisconnect()
{
    // The server closed the connection: waiting for the time-out would only hide that.
    if (SocketMode == 0)
        Mail.ConnectionClosed();
    else if (!TimeDone)
        TimeFailed = true;
    RetestWait();
}

void TProtocolForm::Send(const std::string& text)
{
    ClientSocket.SendText(text);
}

void TProtocolForm::Close()
{
    ClientSocket.Close();
}

void TProtocolForm::StartTls()
{
    ClientSocket.StartTls();
}

void TProtocolForm::ApplicationException(const std::string& text)
{
    const auto sentence = SocketErrorSentence(text);
    if (!sentence.empty())
        (SocketMode == 0 ? Mail.MailFailed : TimeFailed) = true;
    ErrorDetail = sentence;
}

void TProtocolForm::LogMessage(const std::string& text) const
{
    if (settings.LogToFile)
        AppendToLogFile(EscapeLogText(text), true, LogFileName);
}

void TProtocolForm::LogDialogueLine(const std::string& text)
{
    if (dialogueLogBytes_ >= kMaxDialogueLogBytes)
        return;
    dialogueLogBytes_ += text.size() + std::string_view("hh:mm:ss.mmm \r\n").size();
    if (dialogueLogBytes_ < kMaxDialogueLogBytes)
        LogMessage(text);
    else
        LogMessage("POP3: the rest of this dialogue is left out of the log: it is too long.");
}

void TProtocolForm::MigrateOldSettings()
{
    try {
        vorlane::MigrateOldSettings(store_);
    } catch (const std::exception& failure) {
        ApplicationException(failure.what());
        try {
            store_.Read();
        } catch (const std::exception&) {
            return; // a file that cannot be read is told by the load that follows
        }
        startupProblems_.push_back(
            "Vorlane could not take over the settings of its older version:\r\n" +
            EscapeLogText(failure.what()));
    }
}

void TProtocolForm::LoadSettings()
{
    ClearMailServers();
    std::string problem;
    std::vector<std::string> unreadable;
    try {
        const auto root = store_.Read();
        const LoadSettingsHooks hooks{
            [this](const std::string& text) { LogMessage(text); },
            [this](int seconds) { ProtocolTimer.setInterval(seconds * 1000); },
            [&](const RegistryError& error) {
                unreadable.push_back(DescribeSettingsProblem(error, store_.Path()));
            }};
        vorlane::LoadSettings(root, settings, MailServers, hooks);
        if (!unreadable.empty())
            problem = UnreadableValuesMessage(unreadable);
    } catch (const RegistryFileError& error) {
        // Nothing is loaded and the file stays as it is, for the user to see or to replace.
        problem = UnreadableFileMessage(error);
    }
    BuildCheckNowMenu();
    SelectDefaultItem(PopupMenu, settings.IconClickAction);
    desktop_.UpdateMenu(PopupMenu);
    TellSettingsProblem(problem);
}

void TProtocolForm::TellSettingsProblem(const std::string& text)
{
    if (text == toldSettingsProblem_)
        return;
    toldSettingsProblem_ = text;
    if (text.empty())
        return;
    if (trayAdded_)
        desktop_.ShowMessage(text);
    else
        startupProblems_.push_back(text);
}

void TProtocolForm::BuildCheckNowMenu()
{
    PopupMenu.checkNowEntries.clear();
    PopupMenu.allIsDefault = false;
    if (MailServers.size() >= 2)
        for (const auto& entry : MailServers)
            PopupMenu.checkNowEntries.push_back(entry.Name);
    desktop_.UpdateMenu(PopupMenu);
}

void TProtocolForm::ClearMailServers()
{
    MailServers.clear();
}

void TProtocolForm::SetMenuItemsEnabled(bool enabled)
{
    PopupMenu[MenuCommand::Settings].enabled = enabled && !settingsOpen_;
    PopupMenu[MenuCommand::Checknow].enabled = enabled;
    PopupMenu.checkNowSubmenuEnabled = enabled;
    PopupMenu[MenuCommand::SynchronizeTime].enabled = enabled && settings.SyncronizeTime;
    // A check mark, not the enabled state: ticked while the mail program starts on new mail.
    PopupMenu[MenuCommand::StartMailClient].checked = enabled && settings.StartClient;
    desktop_.UpdateMenu(PopupMenu);
}

void TProtocolForm::AddTrayIcon()
{
    TrayImage = kImageNoMail;
    TrayTip.clear();
    desktop_.AddTrayIcon(TrayImage, TrayTip);
    trayAdded_ = true;
}

void TProtocolForm::RemoveTrayIcon()
{
    if (trayAdded_) {
        trayAdded_ = false;
        desktop_.RemoveTrayIcon();
    }
}

void TProtocolForm::UpdateTrayIcon()
{
    desktop_.UpdateTrayIcon(TrayImage, TrayTip);
}

void TProtocolForm::ShowCheckingStatus(const std::string& host)
{
    if (SocketMode == 0) {
        TrayTip = LimitTrayTip("Checking for new mail at: " + host);
        TrayImage = kImagePolling;
    } else {
        TrayTip = LimitTrayTip("Synchronizing time with " + host);
        TrayImage = kImageSynchronizing;
    }
    UpdateTrayIcon();
}

void TProtocolForm::UpdateTrayStatus(int count)
{
    TrayMailCount = count;
    int image = count != 0 ? kImageMailWaiting : kImageNoMail;
    std::string tip =
        count != 0 ? "You have " + std::to_string(count) + " new mail message" : "No new mail";
    if (TrayMailCount > 1)
        tip += "s";
    if (TotalMailSize == StoppedWavingSize)
        image = kImageNoMail;
    TrayImage = image;
    TrayTip = LimitTrayTip(tip);
    UpdateTrayIcon();
    if (TrayMailCount > 0 && TotalMailSize != StoppedWavingSize)
        IconTimer.start();
    else
        IconTimer.stop();
}

bool TProtocolForm::IsNetworkAvailable()
{
    if (!settings.ConnectionType)
        return true;
    // Bound and released at every check: NetworkManager may come and go.
    RasBinding ras;
    if (!ras.LoadRas())
        return false;
    const auto active = ras.RasEnumConnections();
    const bool result = active && FirstSelectedConnectionIsUp(*active, settings.RasConnection);
    ras.UnloadRas();
    if (result)
        LogMessage("Active RAS Connection found.");
    return result;
}

void TProtocolForm::ShowPausedState()
{
    // The waving goes on if it was on; its next frame replaces the picture.
    TrayTip = "Paused: the RAS connection is not active.";
    TrayImage = kImagePaused;
    UpdateTrayIcon();
}

void TProtocolForm::IconTimerTimer()
{
    if (++WaveFrame == 8)
        WaveFrame = 2;
    TrayImage = WaveFrame;
    UpdateTrayIcon();
}

void TProtocolForm::StopWavingMenuItemClick()
{
    IconTimer.stop();
    StoppedWavingSize = TotalMailSize;
    TrayImage = kImageNoMail;
    UpdateTrayIcon();
}

void TProtocolForm::TrayRightButtonUp()
{
    const bool working = busy_ > 0;
    PopupMenu[MenuCommand::Checknow].enabled = !MailServers.empty() && !working;
    PopupMenu[MenuCommand::SynchronizeTime].enabled = settings.SyncronizeTime && !working;
    PopupMenu[MenuCommand::StartMailClient].enabled = settings.StartClient;
    desktop_.UpdateMenu(PopupMenu);
}

void TProtocolForm::PopupMenuPopup()
{
    PopupMenu[MenuCommand::StopWaving].enabled = Waving();
    desktop_.UpdateMenu(PopupMenu);
}

void TProtocolForm::TrayDoubleClick()
{
    switch (settings.IconClickAction) {
    case kActionCheckMail:
        if (PopupMenu[MenuCommand::Checknow].enabled)
            ChecknowMenuItemClick(-1); // "&All", or "Check now" itself: every entry
        break;
    case kActionSynchronizeTime:
        if (PopupMenu[MenuCommand::SynchronizeTime].enabled)
            SynchronizeTimeMenuItemClick();
        break;
    case kActionStartMailClient:
        if (!settings.MailClient.empty())
            StartMailClient(settings.MailClient);
        break;
    case kActionStartClientStopWaving:
        if (!settings.MailClient.empty())
            StartMailClient(settings.MailClient);
        if (Waving())
            StopWavingMenuItemClick();
        break;
    case kActionStopWaving:
        if (Waving())
            StopWavingMenuItemClick();
        break;
    default:
        break;
    }
}

void TProtocolForm::MenuCommandClick(MenuCommand command)
{
    if (!PopupMenu[command].enabled)
        return;
    switch (command) {
    case MenuCommand::About:
        AboutMenuItemClick();
        break;
    case MenuCommand::Settings:
        SettingsMenuItemClick();
        break;
    case MenuCommand::Checknow:
        if (!PopupMenu.HasCheckNowSubmenu()) // with a submenu, the submenu opens instead
            ChecknowMenuItemClick(-1);
        break;
    case MenuCommand::SynchronizeTime:
        SynchronizeTimeMenuItemClick();
        break;
    case MenuCommand::StartMailClient:
        StartMailClientMenuItemClick();
        break;
    case MenuCommand::StopWaving:
        StopWavingMenuItemClick();
        break;
    case MenuCommand::Exit:
        ExitMenuItemClick();
        break;
    }
}

void TProtocolForm::AboutMenuItemClick()
{
    PopupMenu[MenuCommand::About].enabled = false;
    desktop_.UpdateMenu(PopupMenu);
    const Finally restore([this] {
        PopupMenu[MenuCommand::About].enabled = true;
        desktop_.UpdateMenu(PopupMenu);
    });
    desktop_.ShowAbout();
}

void TProtocolForm::SettingsMenuItemClick()
{
    IntervalTimer.stop();
    settingsOpen_ = true;
    PopupMenu[MenuCommand::Settings].enabled = false;
    desktop_.UpdateMenu(PopupMenu);
    // Whatever the dialog or the reload does, the menu item and the minute tick come back; a
    // command run while the dialog was open leaves both to the dialog's end.
    const Finally restore([this] {
        settingsOpen_ = false;
        PopupMenu[MenuCommand::Settings].enabled = busy_ == 0;
        desktop_.UpdateMenu(PopupMenu);
        if (busy_ == 0)
            IntervalTimer.start();
    });
    desktop_.ShowSettings();
    LoadSettings();
    if (IsNetworkAvailable())
        UpdateTrayStatus(TrayMailCount);
    else
        ShowPausedState();
}

void TProtocolForm::StartMailClientMenuItemClick()
{
    if (!settings.MailClient.empty())
        StartMailClient(settings.MailClient);
}

void TProtocolForm::SynchronizeTimeMenuItemClick()
{
    RunCommandWork([this] {
        // Two days back: due with either interval.
        WriteLastSynchronizedAt(LocalDateTimeNow() - 2.0);
        SynchronizeIfDue();
    });
}

void TProtocolForm::SynchronizeIfDue()
{
    if (!settings.SyncronizeTime)
        return;
    if (!IsSynchronizationDue(settings.TimeSynchronizationInterval, DaysSinceLastSynchronization()))
        return;
    LogMessage("Synchronizing time.");
    PopupMenu[MenuCommand::Settings].enabled = false;
    PopupMenu[MenuCommand::Checknow].enabled = false;
    PopupMenu[MenuCommand::SynchronizeTime].enabled = false;
    desktop_.UpdateMenu(PopupMenu);
    SocketMode = 1;
    ShowCheckingStatus(settings.TimeServer);
    // However the run ends (an empty time server fails at once), the tray leaves the stopwatch.
    const Finally restoreTray([this] { UpdateTrayStatus(TrayMailCount); });
    ClientSocket.SetPort(timePort_);
    ClientSocket.SetSecurity(SocketSecurity::None);
    // The time server's own rule: only a text with four full stops is taken as an address; a
    // dotted IPv4 address goes through the name lookup, which returns it as it is.
    if (IsTimeServerAddress(settings.TimeServer))
        ClientSocket.SetAddress(settings.TimeServer);
    else
        ClientSocket.SetHost(settings.TimeServer);
    TimedOut = false;
    TimeFailed = false;
    TimeDone = false;
    TimeState = 0;
    StartProtocolTimer();
    try {
        ClientSocket.Open();
    } catch (...) {
        ProtocolTimer.stop();
        throw; // abandons the run: nothing is recorded, the next tick tries again
    }
    WaitWhile([this] { return !TimedOut && !TimeFailed && !TimeDone && ProtocolTimer.isActive(); });
    ProtocolTimer.stop();
    // A server that keeps the connection open after its four bytes must not keep the socket.
    ClientSocket.Close();
    if ((TimedOut || TimeFailed) && !TimeDone)
        ShowTimeError();
    WriteLastSynchronizedAt(LocalDateTimeNow());
}

double TProtocolForm::DaysSinceLastSynchronization()
{
    return vorlane::DaysSinceLastSynchronization(store_.Read(), LocalDateTimeNow());
}

void TProtocolForm::WriteLastSynchronizedAt(double dateTime)
{
    vorlane::WriteLastSynchronizedAt(store_, dateTime);
}

void TProtocolForm::SetClockFromTimeData(const TimeData& data)
{
    const auto setting = vorlane::SetClockFromTimeData(data, clock_);
    LogMessage(setting.logLine);
    if (!setting.accepted)
        ShowPermissionDenied();
    TimeDone = true;
}

void TProtocolForm::ShowPermissionDenied()
{
    desktop_.ShowMessage(std::string(kPermissionDeniedMessage));
}

void TProtocolForm::ShowTimeError()
{
    desktop_.ShowMessage(ComposeTimeError(settings.TimeServer, TimeState, TimedOut));
}

} // namespace vorlane
