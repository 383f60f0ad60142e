// The tray icon, its menu and the new-mail announcements, seen through the recording desktop.
#include "app/ControllerFixture.h"
#include "servers/ScriptedServer.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::RecordingDesktop;
using test::ScriptedServer;

// A POP3 server whose mailbox the test changes between polls.
struct Mailbox
{
    int count = 0;
    int size = 0;
    ScriptedServer server{[this](ScriptedServer::Connection& c, const std::string& line) {
        ScriptedServer::Pop3("+OK " + std::to_string(count) + " " + std::to_string(size),
                             {"From: Ann", "Subject: Hi"})(c, line);
    }};
};

MailServerRow Row(const std::string& name)
{
    return {name, "joe", "127.0.0.1", "10", "secret"};
}

TEST(Tray, TipsCountTheWaitingMessages)
{
    const struct
    {
        int count;
        RecordingDesktop::Tray tray;
        bool waving;
    } cases[] = {
        {0, {0, "No new mail"}, false},
        {1, {2, "You have 1 new mail message"}, true},
        {2, {2, "You have 2 new mail messages"}, true},
    };
    for (const auto& c : cases) {
        Mailbox mailbox;
        mailbox.count = c.count;
        mailbox.size = 100 * c.count;
        ControllerFixture f;
        f.Store({Row("Home")});
        auto& controller = f.Create(mailbox.server.Port());
        EXPECT_EQ(f.desktop.tray.back(), c.tray) << c.count;
        EXPECT_EQ(controller.Waving(), c.waving) << c.count;
    }
}

TEST(Tray, AnnouncesChangesOfCountAndOfSizeBeyond34Octets)
{
    Mailbox mailbox;
    mailbox.count = 2;
    mailbox.size = 1000;
    ControllerFixture f;
    f.Store({Row("Office")});
    auto& c = f.Create(mailbox.server.Port());
    ASSERT_EQ(f.desktop.newMail.size(), 1u)
        << "the first poll announces a mailbox that is not empty";
    EXPECT_EQ(f.desktop.newMail[0].text, "2 new mail messages have arrived at 'Office'");

    const struct
    {
        int count;
        int size;
        bool announced;
        const char* text;
    } steps[] = {
        {2, 1000, false, ""},
        {2, 1034, false, ""},
        {2, 999, true, "2 new mail messages have arrived at 'Office'"},
        {1, 999, true, "A new mail message has arrived at 'Office'"},
        {0, 0, false, ""},
        {3, 10, true, "3 new mail messages have arrived at 'Office'"},
    };
    for (const auto& step : steps) {
        mailbox.count = step.count;
        mailbox.size = step.size;
        const auto before = f.desktop.newMail.size();
        c.ChecknowMenuItemClick(-1);
        ASSERT_EQ(f.desktop.newMail.size(), before + (step.announced ? 1 : 0))
            << step.count << "/" << step.size;
        if (step.announced) {
            EXPECT_EQ(f.desktop.newMail.back().text, step.text);
        }
        EXPECT_EQ(c.Waving(), step.count > 0) << "the tray still waves while mail waits";
    }
}

TEST(Tray, DispatchesInOrderAndStartsTheMailProgramAfterTheWindow)
{
    Mailbox mailbox;
    mailbox.count = 1;
    mailbox.size = 10;
    ControllerFixture f;
    auto s = ControllerFixture::LoggingSettings();
    s.SystemBeep = true;
    s.PlaySound = true;
    s.WaveFile = "/tmp/ding.wav";
    s.DisplayMessage = true;
    s.AutoHide = true;
    s.AutoHideTime = 7;
    s.DisplayHeaders = true;
    s.StartClient = true;
    s.MailClient = "thunderbird -mail";
    f.Store({Row("Home")}, s);
    f.Create(mailbox.server.Port());
    std::vector<std::string> dispatch;
    for (const auto& event : f.desktop.events)
        if (event != "message")
            dispatch.push_back(event);
    EXPECT_EQ(dispatch, (std::vector<std::string>{"beep", "sound /tmp/ding.wav", "window",
                                                  "start thunderbird -mail"}));
    const auto& window = f.desktop.newMail.at(0);
    EXPECT_TRUE(window.withHeaders);
    ASSERT_EQ(window.headers.size(), 1u);
    EXPECT_EQ(window.headers[0].second.From, "Ann");
    EXPECT_TRUE(window.autoHide);
    EXPECT_EQ(window.autoHideSeconds, 7);
    EXPECT_TRUE(f.Logged("Starting mail client: thunderbird -mail"));
}

TEST(Tray, ADesktopNotificationComesOnceForEveryPassWithNewMail)
{
    Mailbox mailbox;
    mailbox.count = 2;
    mailbox.size = 100;
    ControllerFixture f;
    auto s = ControllerFixture::LoggingSettings();
    s.DisplayMessage = false;
    s.DisplayHeaders = true;
    s.DesktopNotification = true;
    f.Store({Row("Home"), Row("Work")}, s);
    auto& c = f.Create(mailbox.server.Port());
    ASSERT_EQ(f.desktop.notices.size(), 1u) << "one for the pass, not one an entry";
    EXPECT_EQ(f.desktop.notices[0].summary, "4 new mail messages have arrived");
    EXPECT_EQ(f.desktop.notices[0].lines, std::vector<std::string>(4, "Ann: Hi"));
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.notices.size(), 1u) << "nothing new, nothing told";

    ASSERT_TRUE(c.Waving());
    c.NotificationActionInvoked(NotificationAction::StopWaving);
    EXPECT_FALSE(c.Waving());

    s.DesktopNotification = false;
    f.Store({Row("Home")}, s);
    c.SettingsMenuItemClick(); // reloaded, and the entries count from nothing again
    mailbox.count = 3;
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.notices.size(), 1u) << "switched off";
}

TEST(Tray, StopWavingHoldsUntilTheTotalSizeChanges)
{
    Mailbox mailbox;
    mailbox.count = 2;
    mailbox.size = 500;
    ControllerFixture f;
    f.Store({Row("Home")});
    auto& c = f.Create(mailbox.server.Port());
    ASSERT_TRUE(c.Waving());
    c.StopWavingMenuItemClick();
    EXPECT_FALSE(c.Waving());
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, "You have 2 new mail messages"}));

    c.ChecknowMenuItemClick(-1);
    EXPECT_FALSE(c.Waving()) << "same mail: still";
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, "You have 2 new mail messages"}));

    mailbox.size = 510; // within 34 octets: not new mail, but the total changed
    c.ChecknowMenuItemClick(-1);
    EXPECT_TRUE(c.Waving());
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{2, "You have 2 new mail messages"}));
}

TEST(Tray, WavingRunsThroughSixFramesAndGoesOnAfterARestart)
{
    RecordingDesktop desktop;
    TrayStatus tray(desktop);
    tray.AddTrayIcon();
    tray.UpdateTrayStatus(0);
    std::vector<int> frames;
    for (int i = 0; i < 8; ++i) {
        tray.IconTimerTimer();
        frames.push_back(desktop.tray.back().image);
    }
    EXPECT_EQ(frames, (std::vector<int>{3, 4, 5, 6, 7, 2, 3, 4}));
    EXPECT_EQ(desktop.tray.back().tip, "No new mail") << "the tip is left alone";
    EXPECT_EQ(TrayStatus::kWaveFrameMilliseconds, 100);
}

TEST(Tray, RightClickStatesFollowEntriesSettingsAndWork)
{
    ControllerFixture f;
    auto& c = f.Create(test::UnusedPort());
    c.TrayRightButtonUp();
    c.PopupMenuPopup();
    EXPECT_FALSE(f.desktop.menu[MenuCommand::Checknow].enabled) << "no entries";
    EXPECT_FALSE(f.desktop.menu[MenuCommand::SynchronizeTime].enabled) << "synchronization off";
    EXPECT_FALSE(f.desktop.menu[MenuCommand::StartMailClient].enabled);
    EXPECT_FALSE(f.desktop.menu[MenuCommand::StopWaving].enabled) << "not waving";
    EXPECT_TRUE(f.desktop.menu[MenuCommand::About].enabled);
    EXPECT_TRUE(f.desktop.menu[MenuCommand::Exit].enabled);

    // While a pass waits on a server, a right click leaves the work commands disabled.
    ScriptedServer slow([](ScriptedServer::Connection&, const std::string&) {});
    ControllerFixture g;
    auto s = ControllerFixture::LoggingSettings(1);
    s.SyncronizeTime = true;
    s.TimeServer = "127.0.0.1";
    s.StartClient = true;
    g.Store({Row("Home")}, s);
    bool checked = false;
    QTimer::singleShot(100, [&] {
        g.controller->TrayRightButtonUp();
        EXPECT_FALSE(g.desktop.menu[MenuCommand::Checknow].enabled);
        EXPECT_FALSE(g.desktop.menu[MenuCommand::SynchronizeTime].enabled);
        EXPECT_TRUE(g.desktop.menu[MenuCommand::StartMailClient].enabled);
        EXPECT_FALSE(g.desktop.menu[MenuCommand::StartMailClient].checked)
            << "no check mark while working";
        const auto polls = slow.Connections();
        g.controller->TrayDoubleClick(); // action 0 does nothing now
        EXPECT_EQ(slow.Connections(), polls);
        checked = true;
    });
    auto& busy = g.Create(slow.Port());
    EXPECT_TRUE(checked);
    busy.TrayRightButtonUp();
    EXPECT_TRUE(g.desktop.menu[MenuCommand::Checknow].enabled);
    EXPECT_TRUE(g.desktop.menu[MenuCommand::SynchronizeTime].enabled);
    EXPECT_TRUE(g.desktop.menu[MenuCommand::StartMailClient].checked);
}

TEST(Tray, DoubleClickDoesTheChosenActionAndTheDefaultItemShowsIt)
{
    struct Case
    {
        int action;
        const char* event; // what the double click did (empty: nothing)
        MenuCommand bold;  // the default item, when any
        bool anyBold;
    };
    const Case cases[] = {
        {0, "", MenuCommand::Checknow, true}, // polls: counted below
        {1, "", MenuCommand::SynchronizeTime, true},
        {2, "start mail", MenuCommand::StartMailClient, true},
        {3, "start mail", MenuCommand::StartMailClient, true},
        {4, "", MenuCommand::StopWaving, true},
        {5, "", MenuCommand::About, false},
        {9, "", MenuCommand::About, false},
        {-1, "", MenuCommand::About, false},
    };
    for (const auto& c : cases) {
        Mailbox mailbox;
        mailbox.count = 1;
        mailbox.size = 10;
        ControllerFixture f;
        auto s = ControllerFixture::LoggingSettings();
        s.IconClickAction = c.action;
        s.MailClient = "mail";
        s.DisplayMessage = false;
        f.Store({Row("Home")}, s);
        auto& controller = f.Create(mailbox.server.Port());
        ASSERT_TRUE(controller.Waving());
        f.desktop.events.clear();
        const int polls = mailbox.server.Connections();

        controller.TrayDoubleClick();

        const std::string did = f.desktop.events.empty() ? "" : f.desktop.events.back();
        EXPECT_EQ(did, c.event) << "action " << c.action;
        EXPECT_EQ(mailbox.server.Connections() - polls, c.action == 0 ? 1 : 0)
            << "action " << c.action;
        EXPECT_EQ(controller.Waving(), c.action != 3 && c.action != 4) << "action " << c.action;
        int bold = 0;
        for (const auto& item : f.desktop.menu.items)
            bold += item.isDefault ? 1 : 0;
        EXPECT_EQ(bold, c.anyBold ? 1 : 0) << "action " << c.action;
        if (c.anyBold) {
            EXPECT_TRUE(f.desktop.menu[c.bold].isDefault) << "action " << c.action;
        }
    }
}

TEST(Tray, CheckForNewMailWithSeveralEntriesMakesAllTheDefaultAndPollsEveryEntry)
{
    Mailbox mailbox;
    ControllerFixture f;
    f.Store({Row("A"), Row("B"), Row("C")});
    auto& c = f.Create(mailbox.server.Port());
    EXPECT_TRUE(f.desktop.menu.allIsDefault);
    EXPECT_FALSE(f.desktop.menu[MenuCommand::Checknow].isDefault);
    const int polls = mailbox.server.Connections();
    c.TrayDoubleClick();
    EXPECT_EQ(mailbox.server.Connections() - polls, 3);
    // With a submenu, "Check now" itself does nothing; its items poll.
    c.MenuCommandClick(MenuCommand::Checknow);
    EXPECT_EQ(mailbox.server.Connections() - polls, 3);
}

TEST(Tray, SettingsReloadsEverythingAndRestartsTheMinute)
{
    Mailbox mailbox;
    ControllerFixture f;
    f.Store({Row("A")});
    auto& c = f.Create(mailbox.server.Port());
    f.desktop.onSettings = [&] {
        EXPECT_FALSE(c.Ticking());
        EXPECT_FALSE(f.desktop.menu[MenuCommand::Settings].enabled);
        auto s = ControllerFixture::LoggingSettings();
        s.IconClickAction = 4;
        f.Store({Row("A"), Row("B")}, s);
    };
    c.MenuCommandClick(MenuCommand::Settings);
    EXPECT_TRUE(c.Ticking());
    EXPECT_TRUE(f.desktop.menu[MenuCommand::Settings].enabled);
    EXPECT_EQ(c.MailServers().size(), 2u);
    EXPECT_EQ(f.desktop.menu.checkNowEntries, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(f.desktop.menu[MenuCommand::StopWaving].isDefault);
    EXPECT_EQ(f.desktop.tray.back().tip, "No new mail");
}

} // namespace
} // namespace vorlane
