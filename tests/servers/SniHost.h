#pragma once

#include <QProcess>
#include <QString>
#include <string>

namespace vorlane::test {

// A StatusNotifierWatcher and host (scripts/sni_host.py) on the session bus in
// DBUS_SESSION_BUS_ADDRESS, acting as a Plasma panel would on the tray icon it gets. Ended, by
// its process id, when the object goes.
class SniHost
{
public:
    SniHost();
    SniHost(const SniHost&) = delete;
    SniHost& operator=(const SniHost&) = delete;
    ~SniHost();

    static bool Available(std::string& why);
    bool Ready() const { return ready_; }

    // Waits (handling events) until an item registered; false when none came in time.
    bool WaitForItem(int milliseconds);
    // Runs a command of the script on the last item ("activate", "secondary", "menu") and
    // returns what it printed before "done" (the "menu ..." line for "menu"); "error ..." when
    // it failed.
    std::string Command(const std::string& command, int milliseconds = 5000);

private:
    std::string ReadLine(int milliseconds);

    QProcess process_;
    bool ready_ = false;
    bool registered_ = false;
};

} // namespace vorlane::test
