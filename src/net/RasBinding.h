#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// One active connection as NetworkManager reports it: the profile's name and the connection's
// state.
struct RasConnectionInfo
{
    std::string Name;
    std::uint32_t State = 0;

    bool operator==(const RasConnectionInfo&) const = default;
};

// The dial-up service of this platform: NetworkManager on the system bus. Its connection profiles
// are the phone-book entries, its active connections the dial-up connections. Binding means
// connecting to the bus and finding NetworkManager there; without a bus or without
// NetworkManager the binding fails, as a missing dial-up library does. Nothing is decided here:
// the methods hand over data, the callers apply their rules.
class RasBinding
{
public:
    // The state of an active connection that is up (NM_ACTIVE_CONNECTION_STATE_ACTIVATED).
    static constexpr std::uint32_t kActivated = 2;

    // The system bus: $DBUS_SYSTEM_BUS_ADDRESS, else the standard socket.
    static QString SystemBusAddress();

    explicit RasBinding(QString busAddress = SystemBusAddress());
    RasBinding(const RasBinding&) = delete;
    RasBinding& operator=(const RasBinding&) = delete;
    // Releases the binding if it is still bound.
    ~RasBinding();

    // Binds if not bound yet: connects to the bus and asks whether NetworkManager is there.
    // A failure is not remembered; the next call tries again.
    bool LoadRas();
    // Releases the bus connection.
    void UnloadRas();
    bool RasLoaded() const { return loaded_; }

    // The names of the connection profiles (each profile's connection.id) in the order
    // NetworkManager lists them; nothing when not bound or when the list cannot be read. A
    // profile that goes away while it is being read is left out.
    std::optional<std::vector<std::string>> RasEnumEntries();

    // The active connections in the order of NetworkManager's ActiveConnections, each with its
    // Id and State (kActivated: connected); nothing when not bound or when the list cannot be
    // read. One that goes away while it is being read is left out.
    std::optional<std::vector<RasConnectionInfo>> RasEnumConnections();

    // The phone-book listing of the settings dialog: binds for the call unless already bound,
    // lists, and releases again only what it bound itself. Nothing when binding fails or the
    // listing fails.
    std::optional<std::vector<std::string>> ListPhoneBookEntries();

    // How long one call to NetworkManager may take before it counts as failed.
    void SetCallTimeout(int milliseconds) { timeoutMs_ = milliseconds; }

private:
    QString busAddress_;
    QString connectionName_;
    bool loaded_ = false;
    int timeoutMs_ = 5000;
};

} // namespace vorlane
