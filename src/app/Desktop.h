#pragma once

#include <string>
#include <vector>

namespace vorlane {

// What the controller shows and starts on the user's desktop: the tray icon with its menu, and
// the message window. The program uses the real one; tests use a recording one.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // The tray icon: a picture of the image list and a tip of at most 63 characters.
    virtual void AddTrayIcon(int image, const std::string& tip) = 0;
    virtual void UpdateTrayIcon(int image, const std::string& tip) = 0;
    virtual void RemoveTrayIcon() = 0;

    // The menu's work commands around a pass or a synchronization.
    virtual void SetMenuItemsEnabled(bool enabled) = 0;
    // The "Check now" submenu: one item per entry name, when there are two or more.
    virtual void BuildCheckNowMenu(const std::vector<std::string>& entryNames) = 0;

    // The message window with a message alone; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text) = 0;
};

} // namespace vorlane
