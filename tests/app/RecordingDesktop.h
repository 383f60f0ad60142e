#pragma once

#include "app/Application.h"
#include "app/Desktop.h"

#include <functional>
#include <string>
#include <vector>

namespace vorlane::test {

// Records what the controller shows instead of showing it.
class RecordingDesktop : public Desktop
{
public:
    struct Tray
    {
        int image;
        std::string tip;
        bool operator==(const Tray&) const = default;
    };

    void AddTrayIcon(int image, const std::string& tip) override
    {
        ++adds;
        tray.push_back({image, tip});
    }
    void UpdateTrayIcon(int image, const std::string& tip) override
    {
        tray.push_back({image, tip});
    }
    void RemoveTrayIcon() override { ++removes; }
    void SetMenuItemsEnabled(bool enabled) override { menuEnabled.push_back(enabled); }
    void BuildCheckNowMenu(const std::vector<std::string>& names) override
    {
        checkNowMenus.push_back(names);
    }
    void ShowMessage(const std::string& text) override
    {
        // Like the real window: once exit was requested, it closes at once.
        messages.push_back(text);
        if (onMessage && !ExitRequested())
            onMessage(text);
    }

    int adds = 0;
    int removes = 0;
    std::vector<Tray> tray;
    std::vector<bool> menuEnabled;
    std::vector<std::vector<std::string>> checkNowMenus;
    std::vector<std::string> messages;
    std::function<void(const std::string&)> onMessage;
};

} // namespace vorlane::test
