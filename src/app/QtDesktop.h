#pragma once

#include "app/Desktop.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>

namespace vorlane {

// The desktop of the running program: the tray icon with its menu and the message window.
class QtDesktop : public Desktop
{
public:
    struct Commands
    {
        std::function<void(int tag)> checkNow;
        std::function<void()> exit;
    };

    QtDesktop();
    void SetCommands(Commands commands);

    void AddTrayIcon(int image, const std::string& tip) override;
    void UpdateTrayIcon(int image, const std::string& tip) override;
    void RemoveTrayIcon() override;
    void SetMenuItemsEnabled(bool enabled) override;
    void BuildCheckNowMenu(const std::vector<std::string>& entryNames) override;
    void ShowMessage(const std::string& text) override;

private:
    QSystemTrayIcon tray_;
    QMenu menu_;
    QMenu checkNowMenu_;
    QAction* checkNow_;
    Commands commands_;
};

} // namespace vorlane
