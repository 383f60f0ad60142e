#pragma once

#include "app/Desktop.h"
#include "mail/NewMailNotice.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vorlane {

// New mail as a desktop notification (org.freedesktop.Notifications on the session bus): one
// a pass, replacing the one before instead of stacking up, with the actions "Open mail client"
// and "Stop waving" where the notification server shows actions. A notification never takes
// the keyboard focus; without a server nothing is shown and nothing fails.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifier(std::function<void(NotificationAction)> onChoice,
                             QObject* parent = nullptr);

    void Notify(const NewMailNotice& notice);

private slots:
    void ActionInvoked(uint id, const QString& key);
    void NotificationClosed(uint id, uint reason);

private:
    void AskCapabilities();
    void Send(const NewMailNotice& notice);

    QDBusConnection bus_;
    std::function<void(NotificationAction)> onChoice_;
    QStringList capabilities_;
    bool capabilitiesKnown_ = false;
    bool asking_ = false;
    std::optional<NewMailNotice> waiting_;
    uint shownId_ = 0;
};

} // namespace vorlane
