#pragma once

#include "app/Desktop.h"
#include "config/RegistryStore.h"
#include "config/Settings.h"
#include "mail/MailMessage.h"
#include "mail/MailServer.h"
#include "mail/Pop3Dialogue.h"
#include "net/ClientSocket.h"
#include "timesync/ClockSetter.h"
#include "timesync/TimeData.h"
#include "timesync/TimeStep.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class QEventLoop;

namespace vorlane {

// The hidden controller: it owns the timers, the one client socket, the mail server entries, the
// headers of the current poll and the loaded settings, and runs the per-minute check cycle.
// Everything happens on the GUI thread; long work waits in a nested event loop.
class TProtocolForm : public QObject,
                      public ClientSocketHandler,
                      public DesktopHandler,
                      private Pop3Transport
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
    };

    // What one poll may write into the log at most; a server cannot fill the disk through it.
    static constexpr std::size_t kMaxDialogueLogBytes = 2 * 1024 * 1024;
    // What one read event hands to the dialogue before the time-out is checked again.
    static constexpr qint64 kReadSlice = 16 * 1024;

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

    void IntervalTimerTimer();
    // "Check &now" and its submenu: tag -1 polls every entry, 0..n-1 the entry at that position.
    void ChecknowMenuItemClick(int tag) override;
    void ProtocolTimerTimer();

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
    void IconTimerTimer();
    bool Waving() const { return IconTimer.isActive(); }

    void ClientSocketLookup() override;
    void ClientSocketConnecting() override;
    void ClientSocketConnect() override;
    void ClientSocketRead() override;
    void ClientSocketError(int& errorCode) override;
    void ClientSocketDisconnect() override;
    void ClientSocketEncrypted() override;

    // The handler of every failure that nothing else caught: shows nothing, logs nothing, keeps
    // the sentence of a Windows Sockets number for the next mail error report.
    void ApplicationException(const std::string& text);

    // Control bytes in the text are escaped: what a server sends cannot forge log lines.
    void LogMessage(const std::string& text) const;
    void MigrateOldSettings();
    // Values of the wrong kind take their defaults; the user is told about them once (and again
    // only when they change).
    void LoadSettings();
    void CheckMail();
    bool RunMailDialogue(TMailServer& entry);
    void ReportMailError(const std::string& entryName);
    void BuildCheckNowMenu();
    void ClearMailServers();
    void SetMenuItemsEnabled(bool enabled);
    void ShowCheckingStatus(const std::string& host);
    void UpdateTrayStatus(int count);
    bool IsNetworkAvailable();
    void ShowPausedState();

    // The clock: synchronized when due, from the time server's four bytes.
    void SynchronizeIfDue();
    double DaysSinceLastSynchronization();
    void WriteLastSynchronizedAt(double dateTime);
    void SetClockFromTimeData(const TimeData& data);
    void ShowPermissionDenied();
    void ShowTimeError();

    // Runs at once when a due entry's poll succeeded: stores its counts and, when it has new
    // mail, announces it: beep, sound, message window, mail program, in this order.
    void EvaluateNewMail(TMailServer& entry);
    void ShowNewMailMessage(const std::string& entryName, const TMailServer& entry, bool autoHide);
    void PlayWaveFile(const std::string& fileName);
    void StartMailClient(const std::string& commandLine);
    void AddTrayIcon();
    void RemoveTrayIcon();
    void UpdateTrayIcon();

    Settings settings;
    std::vector<TMailServer> MailServers;
    MailMessageList MailMessages;
    int SocketMode = 0;
    bool TimedOut = false;
    std::string ErrorDetail;
    TimeStep TimeState = TimeStep::NotStarted;
    bool TimeFailed = false;
    bool TimeDone = false;
    int TrayMailCount = 0;
    int TotalMailSize = 0;
    int StoppedWavingSize = -1;
    std::string LogFileName;
    PopupMenuState PopupMenu;
    int TrayImage = 0;   // the picture of the tray record
    std::string TrayTip; // its tip, at most 63 characters
    int WaveFrame = 2;
    Pop3Dialogue Mail; // MailState, MailFailed, MailBusy, ReceiveBuffer, StatCount, StatSize, ...

    QTimer IntervalTimer;
    QTimer ProtocolTimer;
    QTimer IconTimer;
    vorlane::ClientSocket ClientSocket;

private:
    void Send(const std::string& text) override;
    void Close() override;
    void StartTls() override;

    // A menu command that works on the socket: the work commands, the minute tick and the
    // waving stop meanwhile, and come back whatever ends the work.
    void RunCommandWork(const std::function<void()>& work);
    // The minute tick goes on, unless the settings dialog is open: its closing starts it.
    void StartIntervalTimer();
    // The time-out of the conversation in progress has passed, whether or not its timer could
    // fire yet (a server that never stops sending keeps timers waiting).
    bool DeadlinePassed() const;
    void StartProtocolTimer();
    // A line of the POP3 dialogue, as long as the poll has not written too much already.
    void LogDialogueLine(const std::string& text);
    // Tells the user, in the message window, what keeps the settings from being used, unless
    // the very same was told before.
    void TellSettingsProblem(const std::string& text);
    void CheckNow(int tag);
    // Runs one start-up step; a failure goes to ApplicationException.
    void RunStep(const std::function<void()>& step);
    // Dispatches events until waiting() turns false, testing it first, after every socket or
    // timer event, and every 200 ms.
    void WaitWhile(const std::function<bool()>& waiting);
    void RetestWait();
    // The end of a tick or command; a requested exit happens now.
    void EndOfWork();

    RegistryStore& store_;
    Desktop& desktop_;
    ClockSetter& clock_;
    int mailPort_;
    int timePort_;
    bool exitRequested_ = false;
    bool settingsOpen_ = false;
    int busy_ = 0;
    QDeadlineTimer deadline_;
    std::size_t dialogueLogBytes_ = 0;
    std::vector<std::string> startupProblems_;
    std::string toldSettingsProblem_;
    bool showProblemsNow_ = false;
    QEventLoop* waitLoop_ = nullptr;
    std::function<bool()> waitCondition_;
    bool trayAdded_ = false;
};

} // namespace vorlane
