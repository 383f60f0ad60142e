// New mail as a desktop notification, against a notification server on the session bus.
#include "app/QtDesktop.h"
#include "servers/NotificationDaemon.h"

#include <QTest>
#include <gtest/gtest.h>

namespace vorlane {

namespace test {
extern NotificationDaemon* notificationDaemon;
}

namespace {

struct ActionRecorder : DesktopHandler
{
    void TrayRightButtonUp() override {}
    void TrayDoubleClick() override {}
    void PopupMenuPopup() override {}
    void MenuCommandClick(MenuCommand) override {}
    void ChecknowMenuItemClick(int) override {}
    void NotificationActionInvoked(NotificationAction action) override
    {
        actions.push_back(action);
    }
    std::vector<NotificationAction> actions;
};

std::vector<std::string> WaitForNotifyCalls(std::size_t count)
{
    for (int i = 0; i < 200 && test::notificationDaemon->NotifyCalls().size() < count; ++i)
        QTest::qWait(25);
    return test::notificationDaemon->NotifyCalls();
}

TEST(DesktopNotifier, OneNotificationReplacesTheOneBeforeAndOffersItsActions)
{
    QtDesktop desktop;
    ActionRecorder handler;
    desktop.SetHandler(&handler);
    // Headers as the server sends them: decoded for the notification.
    desktop.ShowNewMailNotification({{"Home",
                                      3,
                                      {{"1", {"Bob", "<Lunch?> & more"}},
                                       {"2", {"=?UTF-8?Q?Ann?=", "=?ISO-8859-1?Q?Gr=FC=DFe?="}}}}});
    auto calls = WaitForNotifyCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].substr(0, calls[0].find(" {")),
              "Notify \"Vorlane\" 0 \"vorlane\" \"3 new mail messages have arrived at 'Home'\" "
              "\"Ann: Grüße\nBob: <Lunch?> & more\" [\"open-mail-client\", \"Open mail client\", "
              "\"stop-waving\", \"Stop waving\"]")
        << calls[0];

    QTest::qWait(100); // the id of the first has come back
    desktop.ShowNewMailNotification({{"Work", 1, {{"1", {"Cy", "Hi"}}}}});
    calls = WaitForNotifyCalls(2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[1].starts_with("Notify \"Vorlane\" 1 "))
        << "replaces the first: " << calls[1];

    test::notificationDaemon->InvokeAction(1, "stop-waving");
    test::notificationDaemon->InvokeAction(7, "open-mail-client"); // someone else's notification
    test::notificationDaemon->InvokeAction(1, "open-mail-client");
    for (int i = 0; i < 100 && handler.actions.size() < 2; ++i)
        QTest::qWait(25);
    EXPECT_EQ(handler.actions,
              (std::vector<NotificationAction>{NotificationAction::StopWaving,
                                               NotificationAction::OpenMailClient}));
}

} // namespace
} // namespace vorlane
