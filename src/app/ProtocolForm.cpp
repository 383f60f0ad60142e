#include "app/ProtocolForm.h"

#include "app/Application.h"
#include "app/TrayTip.h"
#include "config/Migration.h"
#include "config/SettingsStore.h"
#include "mail/MailErrorReport.h"
#include "net/SocketErrors.h"
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
      Mail(*this, [this](const std::string& text) { LogMessage(text); }), ClientSocket(*this),
      store_(environment.store), desktop_(environment.desktop), mailPort_(environment.mailPort)
{
    IntervalTimer.setInterval(60000);
    ProtocolTimer.setInterval(15000);
    IconTimer.setInterval(100);
    connect(&IntervalTimer, &QTimer::timeout, this, &TProtocolForm::IntervalTimerTimer);
    connect(&ProtocolTimer, &QTimer::timeout, this, &TProtocolForm::ProtocolTimerTimer);
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
    RunStep([this] {
        desktop_.AddTrayIcon(kImageNoMail, {});
        trayAdded_ = true;
    });
    RunStep([this] { IntervalTimerTimer(); });
}

void TProtocolForm::FormDestroy()
{
    if (trayAdded_) {
        trayAdded_ = false;
        desktop_.RemoveTrayIcon();
    }
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
        IntervalTimer.start();
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

void TProtocolForm::ChecknowMenuItemClick(int tag)
{
    SetMenuItemsEnabled(false);
    IntervalTimer.stop();
    IconTimer.stop();
    ++busy_;
    const Finally restore([this] {
        IntervalTimer.start();
        SetMenuItemsEnabled(true);
        --busy_;
        EndOfWork();
    });
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
    ClientSocket.SetPort(mailPort_);
    ClientSocket.SetAddress(entry.IsAddress ? entry.Host : std::string());
    ClientSocket.SetHost(entry.IsAddress ? std::string() : entry.Host);
    SocketMode = 0;
    ShowCheckingStatus(entry.Host);
    Mail.Start(entry.UserName, entry.Password, settings.DisplayHeaders, MailMessages);
    TimedOut = false;
    ProtocolTimer.start();
    try {
        ClientSocket.Open();
    } catch (const std::exception& failure) {
        // An entry that cannot even be opened (no host) fails like any other poll, so it
        // cannot keep the entries after it from being polled.
        ProtocolTimer.stop();
        ApplicationException(failure.what());
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
    if (waitLoop_ != nullptr && !waitCondition_())
        waitLoop_->quit();
}

void TProtocolForm::EvaluateNewMail(TMailServer& entry)
{
    entry.SetMessageCount(Mail.StatCount);
    entry.SetMailboxSize(Mail.StatSize);
    if (entry.HasNewMail() && entry.MessageCount > 0) {
        StoppedWavingSize = -1;
        // The announcement (beep, sound, message window, mail program) comes with the tray.
    }
}

void TProtocolForm::ReportMailError(const std::string& entryName)
{
    const auto report = ComposeMailErrorReport(entryName, Mail.MailState, TimedOut, ErrorDetail);
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
    (SocketMode == 0 ? Mail.MailState : TimeState) = 3;
    RetestWait();
}

void TProtocolForm::ClientSocketRead()
{
    if (SocketMode == 0)
        Mail.SplitReceivedLines(ClientSocket.ReceiveText());
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

void TProtocolForm::Send(const std::string& text)
{
    ClientSocket.SendText(text);
}

void TProtocolForm::Close()
{
    ClientSocket.Close();
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
        AppendToLogFile(text, true, LogFileName);
}

void TProtocolForm::MigrateOldSettings()
{
    vorlane::MigrateOldSettings(store_);
}

void TProtocolForm::LoadSettings()
{
    ClearMailServers();
    const auto root = store_.Read();
    const LoadSettingsHooks hooks{
        [this](const std::string& text) { LogMessage(text); },
        [this](int seconds) { ProtocolTimer.setInterval(seconds * 1000); }};
    vorlane::LoadSettings(root, settings, MailServers, hooks);
    BuildCheckNowMenu();
}

void TProtocolForm::BuildCheckNowMenu()
{
    std::vector<std::string> names;
    if (MailServers.size() >= 2)
        for (const auto& entry : MailServers)
            names.push_back(entry.Name);
    desktop_.BuildCheckNowMenu(names);
}

void TProtocolForm::ClearMailServers()
{
    MailServers.clear();
}

void TProtocolForm::SetMenuItemsEnabled(bool enabled)
{
    desktop_.SetMenuItemsEnabled(enabled);
}

void TProtocolForm::ShowCheckingStatus(const std::string& host)
{
    if (SocketMode == 0)
        desktop_.UpdateTrayIcon(kImagePolling, LimitTrayTip("Checking for new mail at: " + host));
    else
        desktop_.UpdateTrayIcon(kImageSynchronizing,
                                LimitTrayTip("Synchronizing time with " + host));
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
    desktop_.UpdateTrayIcon(image, LimitTrayTip(tip));
    if (TrayMailCount > 0 && TotalMailSize != StoppedWavingSize)
        IconTimer.start();
    else
        IconTimer.stop();
}

bool TProtocolForm::IsNetworkAvailable()
{
    // Waiting for a chosen connection needs the connection gate; without one, work pauses.
    return !settings.ConnectionType;
}

void TProtocolForm::ShowPausedState()
{
    desktop_.UpdateTrayIcon(kImagePaused, "Paused: the RAS connection is not active.");
}

void TProtocolForm::SynchronizeIfDue()
{
    // The clock synchronization comes with its own schedule.
}

} // namespace vorlane
