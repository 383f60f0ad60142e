#include "app/TrayStatus.h"

#include "app/Desktop.h"
#include "app/TrayTip.h"

namespace vorlane {

TrayStatus::TrayStatus(Desktop& desktop) : desktop_(desktop)
{
    IconTimer.setInterval(kWaveFrameMilliseconds);
    connect(&IconTimer, &QTimer::timeout, this, &TrayStatus::IconTimerTimer);
}

void TrayStatus::AddTrayIcon()
{
    TrayImage = static_cast<int>(TrayPicture::NoMail);
    TrayTip.clear();
    desktop_.AddTrayIcon(TrayImage, TrayTip);
    trayAdded_ = true;
}

void TrayStatus::RemoveTrayIcon()
{
    if (trayAdded_) {
        trayAdded_ = false;
        desktop_.RemoveTrayIcon();
    }
}

void TrayStatus::UpdateTrayIcon()
{
    desktop_.UpdateTrayIcon(TrayImage, TrayTip);
}

void TrayStatus::Show(TrayPicture picture, const std::string& tip)
{
    TrayImage = static_cast<int>(picture);
    TrayTip = LimitTrayTip(tip);
    UpdateTrayIcon();
}

void TrayStatus::ShowCheckingStatus(const std::string& host)
{
    Show(TrayPicture::Polling, "Checking for new mail at: " + host);
}

void TrayStatus::ShowSynchronizingStatus(const std::string& timeServer)
{
    Show(TrayPicture::Synchronizing, "Synchronizing time with " + timeServer);
}

void TrayStatus::UpdateTrayStatus(int count)
{
    TrayMailCount_ = count;
    auto picture = count != 0 ? TrayPicture::MailWaiting : TrayPicture::NoMail;
    std::string tip = count != 0        ? "You have " + std::to_string(count) + " new mail message"
                      : mailboxesSetUp_ ? "No new mail"
                                        : kNoMailboxTip;
    if (TrayMailCount_ > 1)
        tip += "s";
    if (TotalMailSize_ == StoppedWavingSize)
        picture = TrayPicture::NoMail;
    Show(picture, tip);
    if (TrayMailCount_ > 0 && TotalMailSize_ != StoppedWavingSize)
        IconTimer.start();
    else
        IconTimer.stop();
}

void TrayStatus::ShowPausedState()
{
    // The waving goes on if it was on; its next frame replaces the picture.
    Show(TrayPicture::Paused, "Paused: the RAS connection is not active.");
}

void TrayStatus::IconTimerTimer()
{
    if (++WaveFrame == 8)
        WaveFrame = 2;
    TrayImage = WaveFrame;
    UpdateTrayIcon();
}

void TrayStatus::StopWavingMenuItemClick()
{
    IconTimer.stop();
    StoppedWavingSize = TotalMailSize_;
    TrayImage = static_cast<int>(TrayPicture::NoMail);
    UpdateTrayIcon();
}

} // namespace vorlane
