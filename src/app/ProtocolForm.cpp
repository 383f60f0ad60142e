#include "app/ProtocolForm.h"

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Finally.h"
#include "config/Migration.h"
#include "config/RegistryError.h"
#include "config/SettingsStore.h"
#include "mail/NewMail.h"
#include "net/ConnectionGate.h"
#include "net/RasBinding.h"
#include "net/SocketErrors.h"
#include "util/Log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>

namespace vorlane {

namespace {

// Sums of many mailboxes wrap instead of overflowing; the total is only compared for change.
int WrappingAdd(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

} // namespace

TProtocolForm::TProtocolForm(Environment environment, QObject* parent)
    : QObject(parent), store_(environment.store), desktop_(environment.desktop),
      log_(settings, std::move(environment.logFileName)), wait_(ClientSocket), tray_(desktop_),
      mail_(ClientSocket, wait_, log_, tray_, environment.mailPort, environment.passwords,
            std::move(environment.cacheFolder)),
      time_(ClientSocket, wait_, log_,
            {tray_, desktop_, store_, environment.clock, environment.timePort}),
      watches_(environment.passwords, [this](const std::string& text) { log_.LogMessage(text); }),
      startupProblems_(std::move(environment.startupProblems))
{
    connect(&watches_, &ImapWatches::newsArrived, this, &TProtocolForm::MailboxNews);
    IntervalTimer.setInterval(60000);
    connect(&IntervalTimer, &QTimer::timeout, this, &TProtocolForm::IntervalTimerTimer);
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
    // The very first start: the user has never had the chance to set anything up.
    const bool firstStart = !std::filesystem::exists(store_.Path());
    RunStep([this] { store_.RemoveInterruptedSaves(); });
    RunStep([this] { MigrateOldSettings(); });
    RunStep([this] { LoadSettings(); });
    RunStep([this] {
        tray_.AddTrayIcon();
        trayAdded_ = true;
    });
    for (const auto& problem : std::exchange(startupProblems_, {}))
        desktop_.ShowMessage(problem);
    if (firstStart)
        RunStep([this] { OpenSettings(); });
    RunStep([this] { IntervalTimerTimer(); });
}

void TProtocolForm::FormDestroy()
{
    tray_.RemoveTrayIcon();
    MailServers_.clear();
    mail_.ClearMailMessages();
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
    else if (busy_ == 0 && !waitingCommands_.empty())
        // From the event loop, not from the clean-up of the work that just ended.
        QTimer::singleShot(0, this, [this] {
            for (const auto& word : std::exchange(waitingCommands_, {}))
                CarryOutCommand(word);
        });
    else if (busy_ == 0 && !settingsOpen_ && !newsOf_.empty())
        QTimer::singleShot(0, this, [this] {
            if (busy_ == 0 && !settingsOpen_ && !newsOf_.empty())
                PollNews();
        });
}

void TProtocolForm::CarryOutCommand(const std::string& word)
{
    log_.LogMessage("Command from another start: " + word);
    if (word == kQuitWord) {
        ExitMenuItemClick();
    } else if (word == kStopWavingWord) {
        if (Waving())
            StopWavingMenuItemClick();
    } else if (busy_ > 0) {
        waitingCommands_.push_back(word);
    } else if (word == kSettingsWord) {
        if (settingsOpen_)
            desktop_.RaiseOpenWindow();
        else
            SettingsMenuItemClick();
    } else if (word == kCheckNowWord) {
        ChecknowMenuItemClick(-1);
    }
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
        watches_.Resume();
        CheckMail();
        time_.SynchronizeIfDue(settings);
    } else {
        // The gate holds work back: the folders' open connections close too.
        watches_.Pause();
        ShowPausedState();
    }
}

void TProtocolForm::RunCommandWork(const std::function<void()>& work)
{
    SetMenuItemsEnabled(false);
    IntervalTimer.stop();
    tray_.StopWavingForWork();
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

void TProtocolForm::ChecknowMenuItemClick(int tag)
{
    RunCommandWork([this, tag] { CheckNow(tag); });
}

void TProtocolForm::CheckNow(int tag)
{
    if (tag == -1) {
        for (auto& entry : MailServers_)
            entry.ResetSchedule();
    } else if (tag >= 0 && static_cast<std::size_t>(tag) < MailServers_.size()) {
        MailServers_[static_cast<std::size_t>(tag)].ResetSchedule();
    }
    CheckMail();
}

void TProtocolForm::CheckMail()
{
    newMailOfPass_.clear();
    for (std::size_t i = MailServers_.size(); i-- > 0;) {
        auto& entry = MailServers_[i];
        if (entry.IsDue())
            PollEntry(entry);
    }
    EndPass();
}

void TProtocolForm::PollEntry(TMailServer& entry)
{
    log_.LogMessage("Checking " + entry.Host + " for new mail.");
    mail_.ClearMailMessages();
    if (mail_.RunMailDialogue(entry, settings.DisplayHeaders, settings.AnnounceUnseenOnly))
        EvaluateNewMail(entry);
    else if (!ReportFailedPoll(entry))
        entry.Failed = true;
}

void TProtocolForm::EndPass()
{
    int totalSize = 0;
    int count = 0;
    for (const auto& entry : MailServers_) {
        count = WrappingAdd(count, entry.MessageCount);
        totalSize = WrappingAdd(totalSize, entry.MailboxSize);
    }
    tray_.SetTotalMailSize(totalSize);
    tray_.UpdateTrayStatus(count);
    if (!newMailOfPass_.empty())
        desktop_.ShowNewMailNotification(std::exchange(newMailOfPass_, {}));
}

void TProtocolForm::MailboxNews(const std::string& entryName)
{
    log_.LogMessage("IMAP watch [" + entryName + "]: news of the folder.");
    if (std::find(newsOf_.begin(), newsOf_.end(), entryName) == newsOf_.end())
        newsOf_.push_back(entryName);
    // Work in progress or an open settings dialog first: their end takes the news up.
    if (busy_ == 0 && !settingsOpen_)
        PollNews();
}

void TProtocolForm::PollNews()
{
    SetMenuItemsEnabled(false);
    ++busy_;
    const Finally restore([this] {
        SetMenuItemsEnabled(true);
        --busy_;
        EndOfWork();
    });
    newMailOfPass_.clear();
    const auto news = std::exchange(newsOf_, {});
    if (!IsNetworkAvailable())
        return;
    // Only the entries with news: the others keep their minutes.
    for (const auto& name : news)
        for (auto& entry : MailServers_)
            if (entry.Name == name && !entry.Failed)
                PollEntry(entry);
    EndPass();
}

bool TProtocolForm::ReportFailedPoll(TMailServer& entry)
{
    const auto report = mail_.ReportMailError(entry.Name);
    const auto certificate = mail_.UntrustedCertificate();
    if (!certificate) {
        desktop_.ShowMessage(report);
        return false;
    }
    if (!desktop_.OfferCertificateTrust(report, DescribeCertificate(*certificate)))
        return false;
    try {
        if (!StoreTrustedCertificate(store_, entry.Name, certificate->Sha256))
            return false;
    } catch (const RegistryError& error) {
        desktop_.ShowMessage("Vorlane could not store the trusted certificate: " +
                             std::string(error.what()));
        return false;
    }
    log_.LogMessage("Mailserver [" + entry.Name + "]: certificate trusted, SHA-256 " +
                    certificate->Sha256);
    entry.CertificateSha256 = certificate->Sha256;
    entry.ResetSchedule(); // polled at the next tick with the trusted certificate
    return true;
}

void TProtocolForm::EvaluateNewMail(TMailServer& entry)
{
    entry.SetMessageCount(mail_.StatCount());
    entry.SetMailboxSize(mail_.StatSize());
    const auto news = DecideNewMail(entry, settings.AnnounceUnseenOnly, mail_.UnseenCount());
    if (!news.announce)
        return;
    tray_.NewMailArrived();
    if (settings.SystemBeep)
        desktop_.Beep();
    if (settings.PlaySound)
        PlayWaveFile(settings.WaveFile);
    if (settings.DisplayMessage)
        ShowNewMailMessage(entry.Name, news.count, settings.AutoHide);
    if (settings.StartClient)
        StartMailClient(settings.MailClient);
    if (settings.DesktopNotification) {
        // The newest headers are all a notification shows.
        const auto& headers = mail_.MailMessages();
        const auto shown = std::min(headers.size(), NewMailNotice::kMaxLines);
        newMailOfPass_.push_back({entry.Name, news.count,
                                  settings.DisplayHeaders
                                      ? MailMessageList(headers.end() - shown, headers.end())
                                      : MailMessageList{}});
    }
}

void TProtocolForm::ShowNewMailMessage(const std::string& entryName, int count, bool autoHide)
{
    desktop_.ShowNewMailMessage(NewMailText(count, entryName),
                                settings.DisplayHeaders ? &mail_.MailMessages() : nullptr, autoHide,
                                settings.AutoHideTime);
}

void TProtocolForm::PlayWaveFile(const std::string& fileName)
{
    desktop_.PlayWaveFile(fileName);
}

void TProtocolForm::StartMailClient(const std::string& commandLine)
{
    log_.LogMessage("Starting mail client: " + commandLine);
    desktop_.StartProcess(commandLine);
}

void TProtocolForm::ApplicationException(const std::string& text)
{
    const auto sentence = SocketErrorSentence(text);
    if (!sentence.empty() && wait_.Current() != nullptr)
        wait_.Current()->MarkFailed();
    mail_.SetErrorDetail(sentence);
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
        const LoadSettingsHooks hooks{[this](const std::string& text) { log_.LogMessage(text); },
                                      [this](int seconds) { wait_.SetConnectionTimeout(seconds); },
                                      [&](const RegistryError& error) {
                                          unreadable.push_back(
                                              DescribeSettingsProblem(error, store_.Path()));
                                      }};
        vorlane::LoadSettings(root, settings, MailServers_, hooks);
        watches_.Watch(MailServers_);
        // Only from settings that could be read: what belonged to entries that are gone, or
        // whose host or user changed, is dropped.
        mail_.KeepHeaderCaches(MailServers_);
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
    tray_.SetMailboxesSetUp(!MailServers_.empty());
    PopupMenu.mailboxesSetUp = !MailServers_.empty();
    PopupMenu.checkNowEntries.clear();
    PopupMenu.allIsDefault = false;
    if (MailServers_.size() >= 2)
        for (const auto& entry : MailServers_)
            PopupMenu.checkNowEntries.push_back(entry.Name);
    desktop_.UpdateMenu(PopupMenu);
}

void TProtocolForm::ClearMailServers()
{
    MailServers_.clear();
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
        log_.LogMessage("Active RAS Connection found.");
    return result;
}

void TProtocolForm::ShowPausedState()
{
    tray_.ShowPausedState();
}

void TProtocolForm::TrayRightButtonUp()
{
    const bool working = busy_ > 0;
    PopupMenu[MenuCommand::Checknow].enabled = !MailServers_.empty() && !working;
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
    switch (static_cast<DoubleClickAction>(settings.IconClickAction)) {
    case DoubleClickAction::CheckMail:
        if (PopupMenu[MenuCommand::Checknow].enabled)
            ChecknowMenuItemClick(-1); // "&All", or "Check now" itself: every entry
        break;
    case DoubleClickAction::SynchronizeTime:
        if (PopupMenu[MenuCommand::SynchronizeTime].enabled)
            SynchronizeTimeMenuItemClick();
        break;
    case DoubleClickAction::StartMailClient:
        StartMailClientMenuItemClick();
        break;
    case DoubleClickAction::StartClientStopWaving:
        StartMailClientMenuItemClick();
        if (Waving())
            StopWavingMenuItemClick();
        break;
    case DoubleClickAction::StopWaving:
        if (Waving())
            StopWavingMenuItemClick();
        break;
    case DoubleClickAction::Nothing:
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
    // A new or changed entry is polled right away, not a minute later.
    if (OpenSettings())
        IntervalTimerTimer();
}

bool TProtocolForm::OpenSettings()
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
    const bool accepted = desktop_.ShowSettings();
    LoadSettings();
    if (IsNetworkAvailable())
        tray_.UpdateTrayStatus(tray_.TrayMailCount());
    else
        ShowPausedState();
    return accepted;
}

void TProtocolForm::StartMailClientMenuItemClick()
{
    if (!settings.MailClient.empty())
        StartMailClient(settings.MailClient);
}

void TProtocolForm::NotificationActionInvoked(NotificationAction action)
{
    switch (action) {
    case NotificationAction::OpenMailClient:
        StartMailClientMenuItemClick();
        break;
    case NotificationAction::StopWaving:
        if (Waving())
            StopWavingMenuItemClick();
        break;
    }
}

void TProtocolForm::StopWavingMenuItemClick()
{
    tray_.StopWavingMenuItemClick();
}

void TProtocolForm::SynchronizeTimeMenuItemClick()
{
    RunCommandWork([this] { time_.SynchronizeNow(settings); });
}

} // namespace vorlane
