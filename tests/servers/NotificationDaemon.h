#pragma once

#include <QProcess>
#include <filesystem>
#include <string>

namespace vorlane::test {

// python3-dbusmock's notification server on the session bus in DBUS_SESSION_BUS_ADDRESS,
// showing actions; every call it gets is written to its log. Ended, by its process id, when
// the object goes.
class NotificationDaemon
{
public:
    explicit NotificationDaemon(std::filesystem::path log);
    NotificationDaemon(const NotificationDaemon&) = delete;
    NotificationDaemon& operator=(const NotificationDaemon&) = delete;
    ~NotificationDaemon();

    static bool Available(std::string& why);
    bool Running() const { return running_; }

    // The calls of Notify so far, one a line, as the mock logs them.
    std::vector<std::string> NotifyCalls() const;
    // The user's click on one of a notification's actions.
    void InvokeAction(unsigned id, const std::string& key);

private:
    std::filesystem::path log_;
    QProcess mock_;
    bool running_ = false;
};

} // namespace vorlane::test
