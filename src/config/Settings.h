#pragma once

#include <string>

namespace vorlane {

// The running configuration, each setting under its registry value name. Before the first load
// everything is false, 0 or empty.
struct Settings
{
    bool LogToFile = false;
    bool DisplayMessage = false;
    bool AutoHide = false;
    int AutoHideTime = 0;
    bool SystemBeep = false;
    bool PlaySound = false;
    std::string WaveFile;
    bool DisplayHeaders = false;
    bool AnnounceUnseenOnly = false; // announce only messages no earlier poll listed
    bool StartClient = false;
    std::string MailClient;
    bool SyncronizeTime = false;
    std::string TimeServer;
    int TimeSynchronizationInterval = 0; // 0 hourly, 1 daily
    int IconClickAction = 0;
    bool ConnectionType = false;      // true: wait for a chosen dial-up connection
    int ConnectionTimeout = 0;        // seconds
    std::string RasConnection;        // "|"-separated connection names, each preceded by "|"
    bool DesktopNotification = false; // new mail also as a desktop notification

    bool operator==(const Settings&) const = default;
};

} // namespace vorlane
