#pragma once

#include <QProcess>
#include <QString>
#include <string>

namespace vorlane::test {

// gnome-keyring-daemon's Secret Service on the session bus of the test (a private one: the test
// program runs under dbus-run-session), its login keyring created and unlocked with a known
// password below the test's temporary HOME. Ended, by its process id, when the object goes.
class GnomeKeyring
{
public:
    static constexpr const char* kKeyringPassword = "vorlane-test-keyring";

    GnomeKeyring();
    GnomeKeyring(const GnomeKeyring&) = delete;
    GnomeKeyring& operator=(const GnomeKeyring&) = delete;
    ~GnomeKeyring();

    // gnome-keyring is installed and the session bus is a private one.
    static bool Available(std::string& why);
    // True once the Secret Service's name is owned on the bus.
    bool Running() const { return running_; }

    // Locks the login keyring, as a screen lock or the user would.
    void Lock();
    // What the keyring holds for the attributes, through libsecret's own tool; empty when
    // nothing. The secret never appears on a command line.
    std::string Lookup(const std::string& service, const std::string& user) const;
    // Ends the daemon now: the keyring is gone.
    void Stop();
    // Stops the daemon without ending it, and lets it go on: a keyring that answers slowly.
    void Pause();
    void Resume();

private:
    QProcess daemon_;
    bool running_ = false;
};

} // namespace vorlane::test
