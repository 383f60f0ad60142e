#pragma once

#include "app/Desktop.h"
#include "app/DesktopNotifier.h"

#include <QAction>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

namespace vorlane {

// The desktop of the running program: the tray icon with its menu, the windows, the sound and
// the mail program.
class QtDesktop : public QObject, public Desktop
{
    Q_OBJECT

public:
    // A desktop whose notification area starts after the program (as at login) gets this long
    // to show up before the user is told that there is none.
    static constexpr int kTrayWaitMilliseconds = 5000;
    // What the user is told then: how to get a tray, how to reach the settings meanwhile, and,
    // with a mailbox set up, that mail is still announced.
    static std::string NoTrayNotice(bool mailboxesSetUp);

    explicit QtDesktop(int trayWaitMilliseconds = kTrayWaitMilliseconds);
    void SetHandler(DesktopHandler* handler) { handler_ = handler; }
    // The dialogs are made by whoever knows their settings store.
    void SetDialogs(std::function<bool()> showSettings, std::function<void()> showAbout);

    void AddTrayIcon(int image, const std::string& tip) override;
    void UpdateTrayIcon(int image, const std::string& tip) override;
    void RemoveTrayIcon() override;
    void UpdateMenu(const PopupMenuState& menu) override;
    void ShowMessage(const std::string& text) override;
    void ShowNewMailMessage(const std::string& text, const MailMessageList* headers, bool autoHide,
                            int autoHideSeconds) override;
    void ShowNewMailNotification(const std::vector<EntryWithNewMail>& entries) override;
    bool ShowSettings() override;
    void RaiseOpenWindow() override;
    void ShowAbout() override;
    bool OfferCertificateTrust(const std::string& report, const std::string& certificate) override;
    void Beep() override;
    void PlayWaveFile(const std::string& fileName) override;
    void StartProcess(const std::string& commandLine) override;

    QSystemTrayIcon& Tray() { return tray_; }
    QMenu& Menu() { return menu_; }
    QAction* Action(MenuCommand command) { return actions_[static_cast<std::size_t>(command)]; }
    // Made at the first sound: a program that plays none never talks to the sound system.
    QMediaPlayer& MediaPlayer();
    bool NoTrayNoticeShown() const { return noTrayNoticeShown_; }

private:
    // The end of a playback releases the sound device.
    void MediaPlayerNotify(QMediaPlayer::MediaStatus status);
    void RebuildCheckNowMenu(const PopupMenuState& menu);
    void MarkDefault(QAction* action, bool isDefault) const;
    void WaitForTray();

    DesktopHandler* handler_ = nullptr;
    QSystemTrayIcon tray_;
    QMenu menu_;
    QMenu checkNowMenu_;
    std::vector<std::string> checkNowEntries_;
    std::array<QAction*, kMenuCommandCount> actions_{};
    int image_ = -1;
    std::unique_ptr<QAudioOutput> audioOutput_; // outlives the player that plays through it
    std::unique_ptr<QMediaPlayer> player_;
    std::unique_ptr<DesktopNotifier> notifier_; // made at the first notification
    int trayWaitMilliseconds_;
    QTimer trayWait_;
    QElapsedTimer trayWaited_;
    bool trayWanted_ = false;
    bool noTrayNoticeShown_ = false;
    bool mailboxesSetUp_ = false;
    bool statusNotifierHost_ = false;
    std::function<bool()> showSettings_;
    std::function<void()> showAbout_;
};

} // namespace vorlane
