#include "app/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace vorlane {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpenMailClient = QStringLiteral("open-mail-client");
const QString kStopWaving = QStringLiteral("stop-waving");

QString Escaped(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

} // namespace

DesktopNotifier::DesktopNotifier(std::function<void(NotificationAction)> onChoice, QObject* parent)
    : QObject(parent), bus_(QDBusConnection::sessionBus()), onChoice_(std::move(onChoice))
{
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(ActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(NotificationClosed(uint, uint)));
    AskCapabilities();
}

void DesktopNotifier::AskCapabilities()
{
    // Asked without waiting; a notification made meanwhile goes out with the answer.
    asking_ = true;
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(QDBusMessage::createMethodCall(
                                        kService, kPath, kInterface, "GetCapabilities")),
                                    this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* call) {
        const QDBusPendingReply<QStringList> reply = *call;
        if (reply.isValid()) {
            capabilities_ = reply.value();
            capabilitiesKnown_ = true;
        }
        asking_ = false;
        call->deleteLater();
        if (waiting_)
            Send(*std::exchange(waiting_, std::nullopt));
    });
}

void DesktopNotifier::Notify(const NewMailNotice& notice)
{
    if (!capabilitiesKnown_ && !asking_)
        AskCapabilities();
    if (asking_)
        waiting_ = notice; // a later pass's replaces an earlier one still waiting
    else
        Send(notice);
}

void DesktopNotifier::Send(const NewMailNotice& notice)
{
    const bool markup = capabilities_.contains(QStringLiteral("body-markup"));
    QStringList lines;
    for (const auto& line : notice.lines)
        lines << (markup ? Escaped(line) : QString::fromStdString(line));
    QStringList actions;
    if (capabilities_.contains(QStringLiteral("actions")))
        actions << kOpenMailClient << QStringLiteral("Open mail client") << kStopWaving
                << QStringLiteral("Stop waving");
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("vorlane")},
        {QStringLiteral("category"), QStringLiteral("email.arrived")},
    };
    auto message = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    message << QStringLiteral("Vorlane") << shownId_ << QStringLiteral("vorlane")
            << QString::fromStdString(notice.summary) << lines.join('\n') << actions << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* call) {
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isValid())
            shownId_ = reply.value(); // the next pass replaces it
        call->deleteLater();
    });
}

void DesktopNotifier::ActionInvoked(uint id, const QString& key)
{
    if (id != shownId_ || !onChoice_)
        return;
    if (key == kOpenMailClient)
        onChoice_(NotificationAction::OpenMailClient);
    else if (key == kStopWaving)
        onChoice_(NotificationAction::StopWaving);
}

void DesktopNotifier::NotificationClosed(uint id, uint)
{
    if (id == shownId_)
        shownId_ = 0;
}

} // namespace vorlane
