#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

namespace vorlane::test {

// A private message bus of its own (dbus-daemon with the session configuration), standing in for
// the system bus. Ended, by its process id, when the object goes.
class PrivateBus
{
public:
    PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    ~PrivateBus();

    static bool Available(std::string& why);

    // Empty when the daemon did not start.
    const QString& Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

// Starts python3-dbusmock with a template (and its arguments) on the bus, standing in for the
// system bus, and waits until the template owns the service's name on the connection of that
// name. False when it does not within 20 s.
bool StartDbusmock(QProcess& mock, const QString& busAddress, const QStringList& templateArguments,
                   const QString& connectionName, const QString& service);
// Ends a process the test started: asked first, then killed.
void StopProcess(QProcess& process);

// python3-dbusmock's NetworkManager template on a bus, with helpers to add connection profiles
// and active connections. Ended, by its process id, when the object goes.
class NetworkManagerMock
{
public:
    explicit NetworkManagerMock(const QString& busAddress);
    NetworkManagerMock(const NetworkManagerMock&) = delete;
    NetworkManagerMock& operator=(const NetworkManagerMock&) = delete;
    ~NetworkManagerMock();

    static bool Available(std::string& why);

    // True once NetworkManager's name is owned on the bus.
    bool Running() const { return running_; }

    // Adds a connection profile with that connection.id; returns its object path.
    QString AddProfile(const std::string& id);
    // Makes the profile an active connection in the given state (2: activated); the new one
    // comes last in ActiveConnections. Returns its object path.
    QString AddActiveConnection(const QString& profilePath, std::uint32_t state);

private:
    QString busAddress_;
    QString connectionName_;
    QProcess mock_;
    bool running_ = false;
    int activeCount_ = 0;
};

} // namespace vorlane::test
