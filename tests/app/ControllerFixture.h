#pragma once

#include "app/Application.h"
#include "app/ProtocolForm.h"
#include "app/RecordingDesktop.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"
#include "timesync/RecordingClockSetter.h"

#include <memory>
#include <string>
#include <vector>

namespace vorlane::test {

// A controller with its registry file and log in a temporary folder and a recording desktop.
struct ControllerFixture
{
    TempDir dir{"controller"};
    RegistryStore store{dir / "registry.reg", SettingsFileOptions()};
    RecordingDesktop desktop;
    RecordingClockSetter clock;
    std::unique_ptr<TProtocolForm> controller;
    PasswordStore* passwords = nullptr; // the keyring the controller reads passwords from

    // A controller of an earlier test may have exited: this one starts afresh.
    ControllerFixture() { ForgetExitRequest(); }

    // Settings as the dialog would store them, with the log on.
    static Settings LoggingSettings(int connectionTimeout = 10)
    {
        Settings s;
        s.LogToFile = true;
        s.DisplayMessage = true;
        s.AutoHideTime = 3;
        s.ConnectionTimeout = connectionTimeout;
        return s;
    }

    void Store(const std::vector<MailServerRow>& rows, const Settings& settings = LoggingSettings())
    {
        WriteSettings(store, settings, rows);
    }

    TProtocolForm& Create(int mailPort, int timePort = 0)
    {
        controller = std::make_unique<TProtocolForm>(
            TProtocolForm::Environment{store,
                                       desktop,
                                       clock,
                                       (dir / "Vorlane.log").string(),
                                       mailPort,
                                       timePort,
                                       {},
                                       {},
                                       passwords,
                                       CacheFolder()});
        controller->FormCreate();
        return *controller;
    }

    // The header caches of this controller's mailboxes, apart from every other test's.
    std::filesystem::path CacheFolder() const { return dir / "cache"; }

    // The log's lines without their time stamps.
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        const auto text = ReadFile(dir / "Vorlane.log");
        std::size_t start = 0;
        while (start < text.size()) {
            auto end = text.find("\r\n", start);
            if (end == std::string::npos)
                end = text.size();
            const auto line = text.substr(start, end - start);
            const auto blank = line.find(' ');
            lines.push_back(blank == std::string::npos ? line : line.substr(blank + 1));
            start = end + 2;
        }
        return lines;
    }

    bool Logged(const std::string& line) const
    {
        const auto lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

} // namespace vorlane::test
