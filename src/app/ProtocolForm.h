#pragma once

#include "app/ActivityLog.h"
#include "app/Desktop.h"
#include "app/ImapWatches.h"
#include "app/MailPoll.h"
#include "app/NetworkWait.h"
#include "app/TimeSynchronization.h"
#include "app/TrayStatus.h"
#include "config/RegistryStore.h"
#include "config/Settings.h"
#include "mail/HeaderCacheStore.h"
#include "mail/MailMessage.h"
#include "mail/MailServer.h"
#include "net/ClientSocket.h"

#include <QObject>
#include <QSslCertificate>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vorlane {

class ClockSetter;
class PasswordStore;

// The hidden controller: it owns the minute tick, the one client socket, the mail server
// entries, the loaded settings and the tray menu, and runs the check cycle. The mail poll, the
// time synchronization and the tray status are parts of their own that it delegates to.
// Everything happens on the GUI thread; long work waits in a nested event loop.
class TProtocolForm : public QObject, public DesktopHandler
{
    Q_OBJECT

public:
    struct Environment
    {
        RegistryStore& store;
        Desktop& desktop;
        ClockSetter& clock;
        std::string logFileName;
        int mailPort = 110; // plain POP3 when the entry names no port; tests use others
        int timePort = 37;
        QList<QSslCertificate> extraCaCertificates = {}; // trusted besides the system's (tests)
        // What went wrong before the controller existed (the lock of the single instance); told
        // to the user once the tray icon is there.
        std::vector<std::string> startupProblems = {};
        // Where entries marked so keep their passwords (the desktop's keyring); null: nowhere.
        PasswordStore* passwords = nullptr;
        // Where the header caches of the mailboxes live.
        std::filesystem::path cacheFolder = HeaderCacheStore::DefaultFolder();
    };

    explicit TProtocolForm(Environment environment, QObject* parent = nullptr);
    ~TProtocolForm() override;

    // Migration, settings, tray icon and the first tick, each step on its own: a failure in one
    // goes to ApplicationException and the others still run. What keeps the settings from being
    // read is told to the user once the icon is there, before the first tick.
    void FormCreate();
    void FormDestroy();

    // "E&xit": a pass that is waiting runs to its end, then the program ends.
    void ExitMenuItemClick();
    bool ExitRequested() const { return exitRequested_; }
    // The IMAP entry's folder is watched: its server will tell of new mail at once.
    bool WatchingFolderOf(const std::string& entryName) const { return watches_.Idling(entryName); }

    // The minute tick: a pass over the due entries, then the clock when it is due.
    void IntervalTimerTimer();
    // "Check &now" and its submenu: tag -1 polls every entry, 0..n-1 the entry at that position.
    void ChecknowMenuItemClick(int tag) override;
    void NotificationActionInvoked(NotificationAction action) override;

    // The tray icon and its menu.
    void TrayRightButtonUp() override;
    void TrayDoubleClick() override;
    void PopupMenuPopup() override;
    void MenuCommandClick(MenuCommand command) override;
    void AboutMenuItemClick();
    void SettingsMenuItemClick();
    void StartMailClientMenuItemClick();
    void StopWavingMenuItemClick();
    void SynchronizeTimeMenuItemClick();

    // A command handed over by a later start of the program ("settings", "check-now",
    // "stop-waving", "quit"). One that would start work while work runs waits for its end.
    void CarryOutCommand(const std::string& word);

    // The handler of every failure that nothing else caught: shows nothing, logs nothing, keeps
    // the sentence of a Windows Sockets number for the next mail error report and marks the
    // conversation that owned the socket failed.
    void ApplicationException(const std::string& text);

    // What the controller shows of itself besides the desktop, for its owner and the tests.
    const std::vector<TMailServer>& MailServers() const { return MailServers_; }
    // The headers of the last poll.
    const MailMessageList& MailMessages() const { return mail_.MailMessages(); }
    const TrayStatus& Tray() const { return tray_; }
    bool Waving() const { return tray_.Waving(); }
    // The minute tick runs (it is off during work and while the settings dialog is open).
    bool Ticking() const { return IntervalTimer.isActive(); }
    int ConnectionTimeoutMilliseconds() const { return wait_.TimeoutMilliseconds(); }
    // A conversation is under way: the time-out runs or the socket is open.
    bool Conversing() const { return wait_.Running() || ClientSocket.Active(); }

private:
    void MigrateOldSettings();
    // Values of the wrong kind take their defaults; the user is told about them once (and again
    // only when they change).
    void LoadSettings();
    void CheckMail();
    // Runs at once when a due entry's poll succeeded: stores its counts and, when it has new
    // mail, announces it: beep, sound, message window, mail program, in this order.
    void EvaluateNewMail(TMailServer& entry);
    // A failed poll's report; when the server's certificate was the reason, it offers to trust
    // that certificate for the entry. True when the user did: the entry stays on its schedule.
    bool ReportFailedPoll(TMailServer& entry);
    // The message tells the count of new messages (DecideNewMail).
    void ShowNewMailMessage(const std::string& entryName, int count, bool autoHide);
    void PlayWaveFile(const std::string& fileName);
    void StartMailClient(const std::string& commandLine);
    void BuildCheckNowMenu();
    void ClearMailServers();
    void SetMenuItemsEnabled(bool enabled);
    bool IsNetworkAvailable();
    void ShowPausedState();

    // A menu command that works on the socket: the work commands, the minute tick and the
    // waving stop meanwhile, and come back whatever ends the work.
    void RunCommandWork(const std::function<void()>& work);
    void CheckNow(int tag);
    // One entry of a pass: polled, and its news announced or its failure reported.
    void PollEntry(TMailServer& entry);
    // The tray and the desktop notification after the entries of a pass.
    void EndPass();
    // An IMAP folder's server reported a new message: that entry is polled now, or as soon as
    // the work in progress or the settings dialog ends.
    void MailboxNews(const std::string& entryName);
    void PollNews();
    // The minute tick goes on, unless the settings dialog is open: its closing starts it.
    void StartIntervalTimer();
    // Runs one start-up step; a failure goes to ApplicationException.
    void RunStep(const std::function<void()>& step);
    // The end of a tick or command; a requested exit happens now.
    void EndOfWork();
    // The settings dialog, then the settings loaded anew; true when closed with OK.
    bool OpenSettings();
    // Tells the user, in the message window, what keeps the settings from being used, unless
    // the very same was told before.
    void TellSettingsProblem(const std::string& text);

    RegistryStore& store_;
    Desktop& desktop_;
    Settings settings;
    ActivityLog log_;
    std::vector<TMailServer> MailServers_;
    PopupMenuState PopupMenu;
    QTimer IntervalTimer;
    vorlane::ClientSocket ClientSocket;
    NetworkWait wait_;
    TrayStatus tray_;
    MailPoll mail_;
    TimeSynchronization time_;
    ImapWatches watches_;

    bool exitRequested_ = false;
    bool settingsOpen_ = false;
    int busy_ = 0;
    std::vector<std::string> startupProblems_;
    std::vector<std::string> waitingCommands_;
    std::vector<std::string> newsOf_; // entries whose folders reported news not polled yet
    std::vector<EntryWithNewMail> newMailOfPass_; // for the pass's desktop notification
    std::string toldSettingsProblem_;
    bool trayAdded_ = false;
};

} // namespace vorlane
