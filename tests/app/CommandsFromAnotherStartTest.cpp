// What the running program does with a command a later start hands over.
#include "app/CommandLine.h"
#include "app/ControllerFixture.h"
#include "servers/ScriptedServer.h"

#include <QTest>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::ScriptedServer;

TEST(CommandsFromAnotherStart, EachDoesWhatItsMenuItemDoes)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 2 100"));
    f.Store({{"Home", "joe", "127.0.0.1", "10", "secret"}});
    auto& c = f.Create(server.Port());
    ASSERT_EQ(server.Connections(), 1);
    ASSERT_TRUE(c.Waving());

    c.CarryOutCommand(kCheckNowWord);
    EXPECT_EQ(server.Connections(), 2);
    c.CarryOutCommand(kStopWavingWord);
    EXPECT_FALSE(c.Waving());
    c.CarryOutCommand(kSettingsWord);
    EXPECT_EQ(f.desktop.events.back(), "settings");
    EXPECT_TRUE(f.Logged("Command from another start: settings"));
    c.CarryOutCommand("nonsense"); // logged, and nothing else
    EXPECT_EQ(f.desktop.events.back(), "settings");
    EXPECT_FALSE(c.ExitRequested());
    c.CarryOutCommand(kQuitWord);
    EXPECT_TRUE(c.ExitRequested());
}

TEST(CommandsFromAnotherStart, SettingsWaitForTheWorkAndAnOpenDialogComesToTheFront)
{
    ControllerFixture f;
    f.Store({});
    bool asked = false;
    ScriptedServer server([&](ScriptedServer::Connection& connection, const std::string& line) {
        if (line.empty() && !asked) {
            asked = true; // while this poll waits, a later start asks for the settings
            f.controller->CarryOutCommand(kSettingsWord);
            EXPECT_TRUE(f.desktop.events.empty()) << "not during the pass";
        }
        ScriptedServer::Pop3("+OK 0 0")(connection, line);
    });
    f.Store({{"Home", "joe", "127.0.0.1", "10", "secret"}});
    auto& c = f.Create(server.Port());
    ASSERT_TRUE(asked);
    QTest::qWait(50);
    EXPECT_EQ(f.desktop.events, std::vector<std::string>{"settings"}) << "once the pass is over";

    f.desktop.onSettings = [&] { c.CarryOutCommand(kSettingsWord); };
    c.SettingsMenuItemClick();
    EXPECT_EQ(f.desktop.events, (std::vector<std::string>{"settings", "settings", "raise"}));
}

} // namespace
} // namespace vorlane
