// The tray icon on a StatusNotifierItem host (as Plasma, GNOME with the AppIndicator extension,
// Xfce, Cinnamon and waybar have), driven over D-Bus as a panel drives it.
#include "app/QtDesktop.h"
#include "servers/NetworkManagerMock.h"
#include "servers/SniHost.h"
#include "servers/XDesktop.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

test::SniHost* host = nullptr;

struct RecordingHandler : DesktopHandler
{
    void TrayRightButtonUp() override { ++rightButtonUps; }
    void TrayDoubleClick() override { ++activations; }
    void PopupMenuPopup() override { ++popups; }
    void MenuCommandClick(MenuCommand) override {}
    void ChecknowMenuItemClick(int) override {}
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
    ASSERT_TRUE(host->WaitForItem(10000)) << "the icon did not come as a StatusNotifierItem";

    EXPECT_EQ(host->Command("activate"), "");
    QTest::qWait(100);
    EXPECT_EQ(handler.activations, 1) << "one activation is the double click's action";
    EXPECT_EQ(host->Command("secondary"), "");
    QTest::qWait(100);
    EXPECT_EQ(handler.activations, 1) << "a middle click is not";

    // Over D-Bus an access key is marked with "_"; the default item carries the mark icon.
    const auto layout = host->Command("menu");
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

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const vorlane::test::TempDir home("home");
    vorlane::test::UseTemporaryHome(home.Path());
    std::string why;
    if (!vorlane::test::XDesktop::Available(why) || !vorlane::test::PrivateBus::Available(why) ||
        !vorlane::test::SniHost::Available(why)) {
        std::printf("skipped: %s\n", why.c_str());
        testing::GTEST_FLAG(filter) = "-*";
        return RUN_ALL_TESTS();
    }
    // The session bus of the test's own, with the panel on it, before anything asks for it.
    vorlane::test::PrivateBus bus;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().toStdString().c_str(), 1);
    vorlane::test::SniHost sni;
    if (!sni.Ready()) {
        std::printf("the StatusNotifierItem host did not start\n");
        return 1;
    }
    vorlane::host = &sni;
    vorlane::test::XDesktop desktop; // no XEmbed tray: the icon can only be an item
    ::setenv("DISPLAY", desktop.Display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
