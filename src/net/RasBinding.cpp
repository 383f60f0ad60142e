#include "net/RasBinding.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>
#include <QVariantMap>
#include <atomic>
#include <cstdlib>

namespace {

// a{sa{sv}}: a connection profile's settings, by setting name.
using ProfileSettings = QMap<QString, QVariantMap>;

} // namespace

Q_DECLARE_METATYPE(ProfileSettings)

namespace vorlane {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kProfileInterface =
    QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

QString NextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("vorlane-ras-%1").arg(counter++);
}

// One blocking call; nothing when it fails or times out.
std::optional<QList<QVariant>> Call(QDBusConnection& bus, const QString& path,
                                    const QString& interface, const QString& method,
                                    const QList<QVariant>& arguments, int timeoutMs)
{
    auto message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments();
}

// A property's value, unwrapped from its variant.
std::optional<QVariant> Property(QDBusConnection& bus, const QString& path,
                                 const QString& interface, const QString& name, int timeoutMs)
{
    const auto reply =
        Call(bus, path, kPropertiesInterface, QStringLiteral("Get"), {interface, name}, timeoutMs);
    if (!reply)
        return std::nullopt;
    return reply->front().value<QDBusVariant>().variant();
}

// An "ao" that came back as a plain argument or inside a variant.
std::optional<QList<QDBusObjectPath>> ObjectPaths(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("ao"))
            return std::nullopt;
        return qdbus_cast<QList<QDBusObjectPath>>(argument);
    }
    if (value.canConvert<QList<QDBusObjectPath>>())
        return value.value<QList<QDBusObjectPath>>();
    return std::nullopt;
}

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

QString RasBinding::SystemBusAddress()
{
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (address != nullptr && *address != '\0')
        return QString::fromLocal8Bit(address);
    return QStringLiteral("unix:path=/var/run/dbus/system_bus_socket");
}

RasBinding::RasBinding(QString busAddress)
    : busAddress_(std::move(busAddress)), connectionName_(NextConnectionName())
{
    qDBusRegisterMetaType<ProfileSettings>();
}

RasBinding::~RasBinding()
{
    UnloadRas();
}

bool RasBinding::LoadRas()
{
    if (loaded_)
        return true;
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress_, connectionName_);
    // NetworkManager is there when its name has an owner; an activatable name alone is not
    // enough, since a NetworkManager that is not running knows no connections.
    const bool present = bus.isConnected() && bus.interface() != nullptr &&
                         bus.interface()->isServiceRegistered(kService).value();
    if (!present) {
        QDBusConnection::disconnectFromBus(connectionName_);
        return false;
    }
    loaded_ = true;
    return true;
}

void RasBinding::UnloadRas()
{
    if (!loaded_)
        return;
    QDBusConnection::disconnectFromBus(connectionName_);
    loaded_ = false;
}

std::optional<std::vector<std::string>> RasBinding::RasEnumEntries()
{
    if (!loaded_)
        return std::nullopt;
    QDBusConnection bus(connectionName_);
    const auto reply = Call(bus, kSettingsPath, kSettingsInterface,
                            QStringLiteral("ListConnections"), {}, timeoutMs_);
    if (!reply)
        return std::nullopt;
    const auto profiles = ObjectPaths(reply->front());
    if (!profiles)
        return std::nullopt;

    std::vector<std::string> names;
    for (const auto& profile : *profiles) {
        const auto settings = Call(bus, profile.path(), kProfileInterface,
                                   QStringLiteral("GetSettings"), {}, timeoutMs_);
        if (!settings)
            continue;
        const auto all = qdbus_cast<ProfileSettings>(settings->front().value<QDBusArgument>());
        const auto connection = all.value(QStringLiteral("connection"));
        const auto id = connection.value(QStringLiteral("id"));
        if (id.isValid())
            names.push_back(Utf8(id.toString()));
    }
    return names;
}

std::optional<std::vector<RasConnectionInfo>> RasBinding::RasEnumConnections()
{
    if (!loaded_)
        return std::nullopt;
    QDBusConnection bus(connectionName_);
    const auto list = Property(bus, kManagerPath, kManagerInterface,
                               QStringLiteral("ActiveConnections"), timeoutMs_);
    if (!list)
        return std::nullopt;
    const auto paths = ObjectPaths(*list);
    if (!paths)
        return std::nullopt;

    std::vector<RasConnectionInfo> connections;
    for (const auto& path : *paths) {
        const auto id =
            Property(bus, path.path(), kActiveInterface, QStringLiteral("Id"), timeoutMs_);
        const auto state =
            Property(bus, path.path(), kActiveInterface, QStringLiteral("State"), timeoutMs_);
        if (!id || !state)
            continue;
        connections.push_back({Utf8(id->toString()), state->toUInt()});
    }
    return connections;
}

std::optional<std::vector<std::string>> RasBinding::ListPhoneBookEntries()
{
    const bool wasBound = RasLoaded();
    if (!wasBound && !LoadRas())
        return std::nullopt;
    auto names = RasEnumEntries();
    if (!wasBound)
        UnloadRas();
    return names;
}

} // namespace vorlane
