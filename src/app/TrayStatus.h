#pragma once

#include <QObject>
#include <QTimer>
#include <string>

namespace vorlane {

class Desktop;

// The pictures of the tray icon by what they show; the waving runs through the pictures 2 to 7.
enum class TrayPicture
{
    NoMail = 0,
    Polling = 1,
    MailWaiting = 2, // and the first frame of the waving
    Synchronizing = 9,
    Paused = 10,
};

// The tray icon's picture and tip, and its waving while mail waits: the icon tells how many
// messages wait over all entries, what the program is doing, and waves until the user stops it
// (for as long as the total size of the mail stays the same).
class TrayStatus : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kNoMailboxTip = "No mailbox is set up: open Settings to add one";
    static constexpr int kWaveFrameMilliseconds = 100;

    explicit TrayStatus(Desktop& desktop);

    void AddTrayIcon();
    void RemoveTrayIcon();
    // Sends the picture and the tip (at most 63 characters) to the desktop.
    void UpdateTrayIcon();

    // While an entry is polled, and while the clock is synchronized.
    void ShowCheckingStatus(const std::string& host);
    void ShowSynchronizingStatus(const std::string& timeServer);
    // The end of a pass: the count of waiting messages, and the waving while mail waits that
    // the user has not stopped.
    void UpdateTrayStatus(int count);
    void ShowPausedState();

    void StopWavingMenuItemClick();
    void IconTimerTimer();
    bool Waving() const { return IconTimer.isActive(); }
    // A manual check or synchronization: the end of the work decides anew whether it waves.
    void StopWavingForWork() { IconTimer.stop(); }
    // New mail: the icon waves again even if the user had stopped it.
    void NewMailArrived() { StoppedWavingSize = -1; }

    void SetTotalMailSize(int size) { TotalMailSize_ = size; }
    // Without any mailbox the tip says so, instead of that no mail waits.
    void SetMailboxesSetUp(bool setUp) { mailboxesSetUp_ = setUp; }
    int TotalMailSize() const { return TotalMailSize_; }
    int TrayMailCount() const { return TrayMailCount_; }

private:
    void Show(TrayPicture picture, const std::string& tip);

    Desktop& desktop_;
    QTimer IconTimer;
    int TrayImage = 0;   // the picture of the tray record
    std::string TrayTip; // its tip, at most 63 characters
    int WaveFrame = 2;
    int TrayMailCount_ = 0;
    int TotalMailSize_ = 0;
    int StoppedWavingSize = -1;
    bool trayAdded_ = false;
    bool mailboxesSetUp_ = true;
};

} // namespace vorlane
