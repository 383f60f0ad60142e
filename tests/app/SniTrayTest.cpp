// The tray icon on a StatusNotifierItem host (as Plasma, GNOME with the AppIndicator extension,
// Xfce, Cinnamon and waybar have), driven over D-Bus as a panel drives it.
#include "app/QtDesktop.h"
#include "servers/SniHost.h"

#include <QTest>
#include <gtest/gtest.h>

namespace vorlane {

namespace test {
extern SniHost* sniHost; // the session's panel
}

namespace {

using test::sniHost;

struct RecordingHandler : DesktopHandler
{
    void TrayRightButtonUp() override { ++rightButtonUps; }
    void TrayDoubleClick() override { ++activations; }
    void PopupMenuPopup() override { ++popups; }
    void MenuCommandClick(MenuCommand) override {}
    void ChecknowMenuItemClick(int) override {}
    void NotificationActionInvoked(NotificationAction) override {}
    int rightButtonUps = 0;
    int activations = 0;
    int popups = 0;
};

TEST(StatusNotifierTray, ActivationRunsTheClickActionAndTheMenuShowsItsStates)
{
    QtDesktop desktop;
    RecordingHandler handler;
    desktop.SetHandler(&handler);
    PopupMenuState menu;
    menu[MenuCommand::Checknow].enabled = false;
    menu[MenuCommand::StartMailClient].checked = true;
    menu[MenuCommand::SynchronizeTime].isDefault = true;
    desktop.UpdateMenu(menu);
    desktop.AddTrayIcon(0, "No new mail");
    ASSERT_TRUE(sniHost->WaitForItem(10000)) << "the icon did not come as a StatusNotifierItem";

    EXPECT_EQ(sniHost->Command("activate"), "");
    QTest::qWait(100);
    EXPECT_EQ(handler.activations, 1) << "one activation is the double click's action";
    EXPECT_EQ(sniHost->Command("secondary"), "");
    QTest::qWait(100);
    EXPECT_EQ(handler.activations, 1) << "a middle click is not";

    // Over D-Bus an access key is marked with "_"; the default item carries the mark icon.
    const auto layout = sniHost->Command("menu");
    EXPECT_EQ(handler.rightButtonUps, 1) << "the menu's opening asks for its states";
    EXPECT_EQ(handler.popups, 1);
    const std::string expected =
        "menu ["
        R"({"label": "_About", "enabled": true, "toggle-type": "", "toggle-state": -1, "icon": false, "submenu": []}, )"
        R"({"label": "_Settings", "enabled": true, "toggle-type": "", "toggle-state": -1, "icon": false, "submenu": []}, )"
        R"({"label": "Check _now", "enabled": false, "toggle-type": "", "toggle-state": -1, "icon": false, "submenu": []}, )"
        R"({"label": "Synchronize _time", "enabled": true, "toggle-type": "", "toggle-state": -1, "icon": true, "submenu": []}, )"
        R"({"label": "Start _Mail client", "enabled": true, "toggle-type": "checkmark", "toggle-state": 1, "icon": false, "submenu": []}, )"
        R"({"label": "Stop _Waving", "enabled": true, "toggle-type": "", "toggle-state": -1, "icon": false, "submenu": []}, )"
        R"({"label": "E_xit", "enabled": true, "toggle-type": "", "toggle-state": -1, "icon": false, "submenu": []}])";
    EXPECT_EQ(layout, expected);
}

} // namespace
} // namespace vorlane
