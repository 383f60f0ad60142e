// The main of the tests that need a desktop session of their own: a private session bus with a
// StatusNotifierItem panel and a notification server on it, and an X server without an XEmbed
// tray, all made before the application asks for any of them.
#include "servers/NetworkManagerMock.h"
#include "servers/NotificationDaemon.h"
#include "servers/SniHost.h"
#include "servers/XDesktop.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

namespace vorlane::test {
SniHost* sniHost = nullptr;
NotificationDaemon* notificationDaemon = nullptr;
} // namespace vorlane::test

int main(int argc, char** argv)
{
    using namespace vorlane::test;
    testing::InitGoogleTest(&argc, argv);
    const TempDir home("home");
    UseTemporaryHome(home.Path());
    std::string why;
    if (!XDesktop::Available(why) || !PrivateBus::Available(why) || !SniHost::Available(why) ||
        !NotificationDaemon::Available(why)) {
        std::printf("skipped: %s\n", why.c_str());
        testing::GTEST_FLAG(filter) = "-*";
        return RUN_ALL_TESTS();
    }
    PrivateBus bus;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().toStdString().c_str(), 1);
    SniHost panel;
    NotificationDaemon notifications(home / "notifications.log");
    if (!panel.Ready() || !notifications.Running()) {
        std::printf("the session's panel or notification server did not start\n");
        return 1;
    }
    sniHost = &panel;
    notificationDaemon = &notifications;
    XDesktop desktop;
    ::setenv("DISPLAY", desktop.Display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
