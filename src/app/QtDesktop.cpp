#include "app/QtDesktop.h"

#include "app/Application.h"
#include "app/TrayImages.h"
#include "ui/CertificateTrustBox.h"
#include "ui/HeaderDisplay.h"
#include "ui/MessageForm.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPainter>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace vorlane {

namespace {

// Sleeps the given time while every event is handled.
void DispatchFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Whether a StatusNotifierItem host runs on the session bus: then Qt shows the icon as a
// StatusNotifierItem, as it decides by the same question.
bool StatusNotifierHostRegistered()
{
    QDBusInterface watcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

// The mark of the menu's default item where the menu cannot be bold: a dot before it.
QIcon DefaultItemMark()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QApplication::palette().color(QPalette::WindowText));
    painter.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

std::string QtDesktop::NoTrayNotice(bool mailboxesSetUp)
{
    std::string text =
        "Vorlane cannot show its icon: this desktop has no notification area (system tray). On "
        "GNOME the AppIndicator extension (package gnome-shell-extension-appindicator) adds one; "
        "Vorlane shows its icon there as soon as it is on.\r\nUntil then, start Vorlane again to "
        "open its settings, or run \"vorlane --quit\" to end it.";
    if (mailboxesSetUp)
        text += "\r\nVorlane goes on checking your mail and announces new mail with its message "
                "window, sound and mail program.";
    return text;
}

QtDesktop::QtDesktop(int trayWaitMilliseconds) : trayWaitMilliseconds_(trayWaitMilliseconds)
{
    trayWait_.setInterval(250);
    connect(&trayWait_, &QTimer::timeout, this, &QtDesktop::WaitForTray);
    const auto add = [this](MenuCommand command) {
        auto* action = menu_.addAction(Q(MenuCaption(command)));
        connect(action, &QAction::triggered, this, [this, command] {
            if (handler_ != nullptr)
                handler_->MenuCommandClick(command);
        });
        actions_[static_cast<std::size_t>(command)] = action;
    };
    add(MenuCommand::About);
    menu_.addSeparator();
    add(MenuCommand::Settings);
    menu_.addSeparator();
    add(MenuCommand::Checknow);
    add(MenuCommand::SynchronizeTime);
    add(MenuCommand::StartMailClient);
    add(MenuCommand::StopWaving);
    menu_.addSeparator();
    add(MenuCommand::Exit);
    Action(MenuCommand::StartMailClient)->setCheckable(true);

    // Every opening of the menu follows a right click on the icon, whatever the tray host.
    connect(&menu_, &QMenu::aboutToShow, this, [this] {
        if (handler_ != nullptr) {
            handler_->TrayRightButtonUp();
            handler_->PopupMenuPopup();
        }
    });
    // A StatusNotifierItem host reports the user's activation of the icon as one "trigger"
    // and never a double click; an XEmbed tray reports a double click after its first click.
    statusNotifierHost_ = StatusNotifierHostRegistered();
    connect(&tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const bool activation = reason == QSystemTrayIcon::DoubleClick ||
                                        (reason == QSystemTrayIcon::Trigger && statusNotifierHost_);
                if (activation && handler_ != nullptr)
                    handler_->TrayDoubleClick();
            });
    tray_.setContextMenu(&menu_);
}

void QtDesktop::SetDialogs(std::function<bool()> showSettings, std::function<void()> showAbout)
{
    showSettings_ = std::move(showSettings);
    showAbout_ = std::move(showAbout);
}

void QtDesktop::AddTrayIcon(int image, const std::string& tip)
{
    UpdateTrayIcon(image, tip);
    trayWanted_ = true;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_.show();
        return;
    }
    trayWaited_.start();
    trayWait_.start();
}

void QtDesktop::WaitForTray()
{
    if (!trayWanted_) {
        trayWait_.stop();
    } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayWait_.stop();
        tray_.show();
    } else if (trayWaited_.elapsed() >= trayWaitMilliseconds_) {
        trayWait_.stop();
        noTrayNoticeShown_ = true;
        ShowMessage(NoTrayNotice(mailboxesSetUp_)); // once; the program goes on without its icon
    }
}

void QtDesktop::UpdateTrayIcon(int image, const std::string& tip)
{
    if (image != image_) {
        image_ = image;
        tray_.setIcon(TrayIcon(image));
    }
    tray_.setToolTip(Q(tip));
}

void QtDesktop::RemoveTrayIcon()
{
    trayWanted_ = false;
    trayWait_.stop();
    tray_.hide();
}

void QtDesktop::MarkDefault(QAction* action, bool isDefault) const
{
    QFont font = action->font();
    font.setBold(isDefault);
    action->setFont(font);
    // A menu sent over D-Bus has no fonts: there the default item carries a mark instead.
    action->setIcon(isDefault && statusNotifierHost_ ? DefaultItemMark() : QIcon());
}

void QtDesktop::UpdateMenu(const PopupMenuState& menu)
{
    mailboxesSetUp_ = menu.mailboxesSetUp;
    for (std::size_t i = 0; i < kMenuCommandCount; ++i) {
        QAction* action = actions_[i];
        const auto& state = menu.items[i];
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.checked);
        MarkDefault(action, state.isDefault);
    }
    RebuildCheckNowMenu(menu);
    checkNowMenu_.setEnabled(menu.checkNowSubmenuEnabled);
    if (!checkNowMenu_.actions().isEmpty())
        MarkDefault(checkNowMenu_.actions().front(), menu.allIsDefault);
}

void QtDesktop::RebuildCheckNowMenu(const PopupMenuState& menu)
{
    if (menu.checkNowEntries == checkNowEntries_ &&
        (menu.HasCheckNowSubmenu() == !checkNowMenu_.isEmpty()))
        return;
    checkNowEntries_ = menu.checkNowEntries;
    checkNowMenu_.clear();
    QAction* checkNow = Action(MenuCommand::Checknow);
    if (!menu.HasCheckNowSubmenu()) {
        checkNow->setMenu(nullptr);
        return;
    }
    const auto add = [this](const QString& caption, int tag) {
        connect(checkNowMenu_.addAction(caption), &QAction::triggered, this, [this, tag] {
            if (handler_ != nullptr)
                handler_->ChecknowMenuItemClick(tag);
        });
    };
    add(QStringLiteral("&All"), -1);
    checkNowMenu_.addSeparator();
    for (std::size_t i = 0; i < checkNowEntries_.size(); ++i)
        add(Q(checkNowEntries_[i]), static_cast<int>(i));
    checkNow->setMenu(&checkNowMenu_);
}

void QtDesktop::ShowMessage(const std::string& text)
{
    if (ExitRequested())
        return;
    TMessageForm form;
    form.SetMessage(text);
    form.ShowModal();
}

bool QtDesktop::OfferCertificateTrust(const std::string& report, const std::string& certificate)
{
    if (ExitRequested())
        return false;
    CertificateTrustBox box(report, certificate);
    return box.Ask();
}

void QtDesktop::ShowNewMailMessage(const std::string& text, const MailMessageList* headers,
                                   bool autoHide, int autoHideSeconds)
{
    if (ExitRequested())
        return;
    TMessageForm form;
    if (headers != nullptr)
        form.ShowHeaders(*headers);
    form.SetMessage(text);
    if (!autoHide) {
        form.ShowModal();
        return;
    }
    // Shown without waiting: the window closes by OK, or by itself when its time is up.
    form.show();
    QApplication::processEvents();
    QElapsedTimer shown;
    shown.start();
    while (!form.ModalResult() && !ExitRequested() &&
           shown.elapsed() < static_cast<qint64>(autoHideSeconds) * 1000)
        DispatchFor(100);
    form.hide();
}

void QtDesktop::ShowNewMailNotification(const std::vector<EntryWithNewMail>& entries)
{
    if (!notifier_)
        notifier_ = std::make_unique<DesktopNotifier>([this](NotificationAction action) {
            if (handler_ != nullptr)
                handler_->NotificationActionInvoked(action);
        });
    notifier_->Notify(ComposeNewMailNotice(entries, DisplayHeaderText));
}

bool QtDesktop::ShowSettings()
{
    return !ExitRequested() && showSettings_ && showSettings_();
}

void QtDesktop::RaiseOpenWindow()
{
    if (QWidget* window = QApplication::activeModalWidget()) {
        window->raise();
        window->activateWindow();
    }
}

void QtDesktop::ShowAbout()
{
    if (!ExitRequested() && showAbout_)
        showAbout_();
}

void QtDesktop::Beep()
{
    QApplication::beep();
}

void QtDesktop::PlayWaveFile(const std::string& fileName)
{
    const QString file = Q(fileName);
    if (fileName.empty() || !QFileInfo(file).isFile())
        return;
    QMediaPlayer& player = MediaPlayer();
    player.stop(); // a sound still playing ends here
    // The default output of now: sound devices come and go while the program runs.
    audioOutput_->setDevice(QMediaDevices::defaultAudioOutput());
    player.setSource(QUrl::fromLocalFile(file));
    player.play();
}

QMediaPlayer& QtDesktop::MediaPlayer()
{
    if (!player_) {
        player_ = std::make_unique<QMediaPlayer>();
        audioOutput_ = std::make_unique<QAudioOutput>();
        player_->setAudioOutput(audioOutput_.get());
        connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this,
                &QtDesktop::MediaPlayerNotify);
    }
    return *player_;
}

void QtDesktop::MediaPlayerNotify(QMediaPlayer::MediaStatus status)
{
    if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
        player_->setSource(QUrl());
}

void QtDesktop::StartProcess(const std::string& commandLine)
{
    const QStringList arguments = QProcess::splitCommand(Q(commandLine));
    if (arguments.isEmpty())
        return;
    QProcess::startDetached(arguments.front(), arguments.mid(1));
}

} // namespace vorlane
