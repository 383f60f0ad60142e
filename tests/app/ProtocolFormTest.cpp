#include "app/ControllerFixture.h"
#include "servers/ScriptedServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::RecordingDesktop;
using test::ScriptedServer;

MailServerRow Row(const std::string& name, const std::string& host = "127.0.0.1",
                  const std::string& interval = "10")
{
    return {name, "joe", host, interval, "secret"};
}

TEST(Controller, FirstStartOpensTheSettingsOnceAndTellsThatNoMailboxIsSetUp)
{
    ControllerFixture f;
    auto& c = f.Create(test::UnusedPort());
    EXPECT_EQ(f.desktop.adds, 1);
    EXPECT_EQ(f.desktop.events, std::vector<std::string>{"settings"});
    EXPECT_EQ(f.desktop.tray.front(), (RecordingDesktop::Tray{0, ""}));
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, TrayStatus::kNoMailboxTip}));
    EXPECT_TRUE(c.Ticking());
    EXPECT_EQ(c.ConnectionTimeoutMilliseconds(), 15000)
        << "no settings key: the first interval stays";
    EXPECT_TRUE(f.desktop.menu[MenuCommand::Settings].enabled);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "Vorlane.log"));
    f.controller.reset();
    EXPECT_EQ(f.desktop.removes, 1);
}

TEST(Controller, AnEntryAddedInTheSettingsIsPolledRightAfterOk)
{
    ControllerFixture f;
    f.Store({});
    ScriptedServer server(ScriptedServer::Pop3("+OK 0 0"));
    auto& c = f.Create(server.Port());
    EXPECT_TRUE(f.desktop.events.empty()) << "not a first start: no settings dialog";
    f.desktop.onSettings = [&] { f.Store({Row("Home")}); };
    f.desktop.settingsAccepted = true;
    c.SettingsMenuItemClick();
    EXPECT_EQ(server.Connections(), 1) << "polled at once";
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, "No new mail"}));
    EXPECT_TRUE(c.Ticking());

    f.desktop.settingsAccepted = false; // Cancel: nothing new to poll
    c.SettingsMenuItemClick();
    EXPECT_EQ(server.Connections(), 1);
}

TEST(Controller, AValueOfTheWrongKindIsToldOnceAndHidesNothing)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 1 100"));
    f.Store({Row("Home")});
    f.store.Modify([](RegistryKey& root) {
        root.OpenKey("SOFTWARE\\Mirvo\\Vorlane")->SetValue("WaveFile", IntegerValue(3));
    });
    f.desktop.onMessage = [&](const std::string&) {
        EXPECT_EQ(f.desktop.adds, 1) << "told once the icon is there";
        EXPECT_EQ(server.Connections(), 0) << "told before the first poll";
    };
    auto& c = f.Create(server.Port());
    ASSERT_EQ(f.desktop.messages.size(), 1u);
    EXPECT_TRUE(f.desktop.messages[0].starts_with(
        "Vorlane cannot use some of its stored settings:\r\nInvalid data type for 'WaveFile' (" +
        f.store.Path().string() + ", line "))
        << f.desktop.messages[0];
    EXPECT_TRUE(c.Ticking());
    EXPECT_EQ(c.ConnectionTimeoutMilliseconds(), 10000) << "the values after it were read";
    ASSERT_EQ(c.MailServers().size(), 1u) << "no entry is hidden by it";
    EXPECT_EQ(f.desktop.tray.back().tip, "You have 1 new mail message") << "the first tick ran";

    f.desktop.onMessage = {};
    c.SettingsMenuItemClick(); // closed without a change: the same problem is not told again
    EXPECT_EQ(f.desktop.messages.size(), 1u);
}

TEST(Controller, ASettingsFileThatCannotBeReadIsToldAndKept)
{
    const struct
    {
        const char* name;
        std::function<void(const std::filesystem::path&)> damage;
        const char* reason;
    } cases[] = {
        {"not a registry file",
         [](const std::filesystem::path& file) { std::ofstream(file) << "hello\r\n"; },
         ":1: not a registry file"},
        {"a folder in its place",
         [](const std::filesystem::path& file) { std::filesystem::create_directory(file); },
         "Cannot read "},
    };
    for (const auto& c : cases) {
        ControllerFixture f;
        c.damage(f.store.Path());
        const auto before = std::filesystem::is_regular_file(f.store.Path())
                                ? test::ReadFile(f.store.Path())
                                : std::string("<folder>");
        auto& controller = f.Create(test::UnusedPort());
        ASSERT_EQ(f.desktop.messages.size(), 1u) << c.name;
        EXPECT_TRUE(f.desktop.messages[0].starts_with("Vorlane cannot read its settings file:\r\n"))
            << c.name;
        EXPECT_NE(f.desktop.messages[0].find(c.reason), std::string::npos)
            << c.name << ": " << f.desktop.messages[0];
        EXPECT_EQ(f.desktop.adds, 1) << c.name;
        EXPECT_TRUE(controller.Ticking()) << c.name;
        controller.IntervalTimerTimer();
        EXPECT_EQ(f.desktop.messages.size(), 1u) << c.name << ": told once";
        const auto after = std::filesystem::is_regular_file(f.store.Path())
                               ? test::ReadFile(f.store.Path())
                               : std::string("<folder>");
        EXPECT_EQ(after, before) << c.name;
    }
}

TEST(Controller, AMigrationThatCannotBeSavedIsToldAndTheOldSettingsStay)
{
    ControllerFixture f;
    f.store.Modify([](RegistryKey& root) {
        root.CreateKey("SOFTWARE\\Mirvo\\Garbelund\\Old").SetValue("Server", StringValue("pop"));
    });
    const auto before = test::ReadFile(f.store.Path());
    // Nothing can lock the file for a change now, root or not.
    std::filesystem::remove(f.dir / "registry.reg.lock");
    std::filesystem::create_directory(f.dir / "registry.reg.lock");
    f.Create(test::UnusedPort());
    ASSERT_EQ(f.desktop.messages.size(), 1u);
    EXPECT_TRUE(f.desktop.messages[0].starts_with(
        "Vorlane could not take over the settings of its older version:\r\nCannot lock "))
        << f.desktop.messages[0];
    EXPECT_EQ(test::ReadFile(f.store.Path()), before);
    EXPECT_EQ(f.desktop.adds, 1);
}

TEST(Controller, AnInterruptedSaveLeavesNothingBehindAfterTheNextStart)
{
    ControllerFixture f;
    f.Store({Row("Home")});
    test::WriteFile(f.dir / "registry.reg.q7XbZ2", "REGEDIT4\r\n[HKEY_CURRENT_USER\\half");
    test::WriteFile(f.dir / "registry.reg.backup", "a copy the user made");
    f.Create(test::UnusedPort());
    EXPECT_FALSE(std::filesystem::exists(f.dir / "registry.reg.q7XbZ2"));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "registry.reg.backup"));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "registry.reg"));
}

TEST(Controller, ACommandWhileTheSettingsAreOpenLeavesThemToTheDialog)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 1 100"));
    f.Store({Row("Home")});
    auto& c = f.Create(server.Port());
    bool checked = false;
    f.desktop.onSettings = [&] {
        c.ChecknowMenuItemClick(-1); // "Check now" from the tray while the dialog is open
        checked = true;
        EXPECT_FALSE(f.desktop.menu[MenuCommand::Settings].enabled) << "no second dialog";
        EXPECT_FALSE(c.Ticking()) << "no tick while the dialog is open";
        c.SynchronizeTimeMenuItemClick();
        EXPECT_FALSE(f.desktop.menu[MenuCommand::Settings].enabled);
        EXPECT_FALSE(c.Ticking());
    };
    c.SettingsMenuItemClick();
    EXPECT_TRUE(checked);
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_TRUE(f.desktop.menu[MenuCommand::Settings].enabled);
    EXPECT_TRUE(c.Ticking());
}

TEST(Controller, TheTrayLeavesTheStopwatchWhateverEndsASynchronization)
{
    ControllerFixture f;
    auto settings = ControllerFixture::LoggingSettings();
    settings.SyncronizeTime = true;
    settings.TimeServer = ""; // ticked, but no server: the run fails at once
    f.Store({}, settings);
    auto& c = f.Create(test::UnusedPort());
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, TrayStatus::kNoMailboxTip}));
    // The failure goes on to the program's handler, as from a timer event.
    EXPECT_THROW(c.IntervalTimerTimer(), std::exception);
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{0, TrayStatus::kNoMailboxTip}));
    EXPECT_TRUE(c.Ticking());
}

TEST(Controller, PollsEveryEntryLastFirstAndReportsNothingOnSuccess)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 2 500"));
    f.Store({Row("A"), Row("B", "localhost"), Row("C")});
    auto& c = f.Create(server.Port());
    EXPECT_EQ(server.Connections(), 3);
    EXPECT_TRUE(f.desktop.messages.empty());
    const std::vector<std::string> checking = {"Checking 127.0.0.1 for new mail.",
                                               "Checking localhost for new mail.",
                                               "Checking 127.0.0.1 for new mail."};
    std::vector<std::string> logged;
    for (const auto& line : f.Log())
        if (line.starts_with("Checking"))
            logged.push_back(line);
    EXPECT_EQ(logged, checking);
    for (const auto& entry : c.MailServers()) {
        EXPECT_EQ(entry.MessageCount, 2) << entry.Name;
        EXPECT_EQ(entry.MailboxSize, 500) << entry.Name;
    }
    EXPECT_EQ(c.Tray().TotalMailSize(), 1500);
    EXPECT_EQ(f.desktop.tray.back(), (RecordingDesktop::Tray{2, "You have 6 new mail messages"}));
    EXPECT_TRUE(c.Waving());
    EXPECT_EQ(f.desktop.menu.checkNowEntries, (std::vector<std::string>{"A", "B", "C"}));
}

TEST(Controller, PollingTipNamesTheHostWithinTheTrayLimit)
{
    ControllerFixture f;
    const std::string host(80, 'h');
    f.Store({Row("Long", host)});
    f.Create(test::UnusedPort());
    const auto polling = std::find_if(f.desktop.tray.begin(), f.desktop.tray.end(),
                                      [](const RecordingDesktop::Tray& t) { return t.image == 1; });
    ASSERT_NE(polling, f.desktop.tray.end());
    EXPECT_EQ(polling->tip.size(), 63u);
    EXPECT_TRUE(polling->tip.starts_with("Checking for new mail at: hhh"));
}

TEST(Controller, ReplyByReplyOverARealSocket)
{
    // Replies trickle in piece by piece, in lower case, with CR alone.
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::WithoutCapa([](ScriptedServer::Connection& connection,
                                                         const std::string& line) {
        if (line.empty())
            connection.Send(std::vector<std::string>{"+o", "k hel", "lo\r"});
        else if (line.starts_with("STAT"))
            connection.Send(std::vector<std::string>{"+ok 3 4512 mess", "ages\r\n"});
        else if (line.starts_with("TOP"))
            connection.Send(std::vector<std::string>{"+ok\r\nFROM: Ann\r",
                                                     "\nfrom:Bob\r\nSubject: Hi\r\n\r\n.", "\r\n"});
        else if (line.starts_with("QUIT"))
            connection.Send("+ok bye\r\n");
        else
            connection.Send("+ok\r");
    }));
    auto settings = ControllerFixture::LoggingSettings();
    settings.DisplayHeaders = true;
    f.Store({Row("Home")}, settings);
    auto& c = f.Create(server.Port());
    EXPECT_TRUE(f.desktop.messages.empty())
        << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
    EXPECT_EQ(server.Received(),
              (std::vector<std::string>{"CAPA", "USER joe", "PASS secret", "STAT", "TOP 1 0",
                                        "TOP 2 0", "TOP 3 0", "QUIT"}))
        << "with headers on CAPA is asked; refused, the dialogue is the one POP3 always had";
    ASSERT_EQ(c.MailMessages().size(), 3u);
    EXPECT_EQ(c.MailMessages()[2].second.From, "Ann");
    EXPECT_EQ(c.MailMessages()[2].second.Subject, "Hi");
    EXPECT_EQ(c.MailServers()[0].MessageCount, 3);
    EXPECT_EQ(c.MailServers()[0].MailboxSize, 4512);
    EXPECT_TRUE(f.Logged("POP3 OUT: PASS ********"));
    EXPECT_EQ(test::ReadFile(f.dir / "Vorlane.log").find("secret"), std::string::npos);
}

TEST(Controller, FailedPollsAreReportedByTheStateReached)
{
    struct Case
    {
        const char* name;
        ScriptedServer::Script script;
        int timeout;
        const char* report; // after the first line
    };
    const Case cases[] = {
        {"negative greeting",
         [](auto& c, const std::string& line) {
             if (line.empty())
                 c.Send("-ERR go away\r\n");
         },
         10,
         "The mail server rejected my connection by sending a negative welcome message.\r\nThe "
         "server said: go away"},
        {"negative reply to TOP",
         [](auto& c, const std::string& line) {
             if (line.starts_with("TOP"))
                 c.Send("-ERR no TOP here\r\n");
             else
                 ScriptedServer::Pop3("+OK 2 10")(c, line);
         },
         10, "The server said: no TOP here"},
        {"STAT with two blanks", ScriptedServer::Pop3("+OK  2 10"), 10,
         "The mail server answered the stat request without a valid number of messages and "
         "size."},
        {"STAT with signs", ScriptedServer::Pop3("+OK -5 -100"), 10,
         "The mail server answered the stat request without a valid number of messages and "
         "size."},
        {"silent server", [](auto&, const std::string&) {}, 1,
         "A timeout error occured while  waiting for the welcome message."},
        {"server closes without a reply",
         [](auto& c, const std::string& line) {
             if (line.empty())
                 c.Close();
         },
         30, "The mail server closed the connection while waiting for the welcome message."},
        {"server closes after CAPA",
         [](auto& c, const std::string& line) {
             if (line.empty())
                 c.Send("+OK\r\n");
             else
                 c.Close();
         },
         30, "The mail server closed the connection while waiting for the CAPA response."},
        {"server closes after the user name",
         ScriptedServer::WithoutCapa([](auto& c, const std::string& line) {
             if (line.empty())
                 c.Send("+OK\r\n");
             else
                 c.Close();
         }),
         30, "The mail server closed the connection while waiting for the username OK response."},
        {"endless line",
         [](auto& c, const std::string& line) {
             if (line.empty())
                 c.Send(std::vector<std::string>(8, std::string(10000, 'x')));
         },
         30,
         "The mail server sent a line longer than 65536 characters while waiting for the "
         "welcome message."},
        {"endless line after the user name",
         ScriptedServer::WithoutCapa([](auto& c, const std::string& line) {
             if (line.empty())
                 c.Send("+OK\r\n");
             else
                 c.Send(std::vector<std::string>(8, std::string(10000, 'x')));
         }),
         30,
         "The mail server sent a line longer than 65536 characters while waiting for the "
         "username OK response."},
    };
    for (const auto& c : cases) {
        ControllerFixture f;
        ScriptedServer server(c.script);
        auto settings = ControllerFixture::LoggingSettings(c.timeout);
        settings.DisplayHeaders = true;
        f.Store({Row("Home")}, settings);
        QElapsedTimer clock;
        clock.start();
        auto& controller = f.Create(server.Port());
        const auto expected = std::string("Error while communicating with 'Home'\r\n") + c.report;
        EXPECT_EQ(f.desktop.messages, std::vector<std::string>{expected}) << c.name;
        EXPECT_NE(test::ReadFile(f.dir / "Vorlane.log").find(" Mail error: " + expected + "\r\n"),
                  std::string::npos)
            << c.name;
        EXPECT_TRUE(controller.MailServers()[0].Failed) << c.name;
        EXPECT_FALSE(controller.Conversing()) << c.name;
        if (c.timeout == 30) {
            EXPECT_LT(clock.elapsed(), 10000) << c.name << ": ended at once, not by the time-out";
        }
    }
}

TEST(Controller, ConnectionRefusedIsLoggedWithItsNumber)
{
    ControllerFixture f;
    f.Store({Row("Home")});
    auto& c = f.Create(test::UnusedPort());
    EXPECT_TRUE(f.Logged("Socket error 0x0000274D"));
    EXPECT_EQ(
        f.desktop.messages,
        std::vector<std::string>{
            "Error while communicating with 'Home'\r\nConnecting to the remote host failed."});
    EXPECT_TRUE(c.MailServers()[0].Failed);
}

TEST(Controller, AnEntryWithoutHostFailsAloneAndTheOthersArePolled)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 1 10"));
    f.Store({Row("A"), Row("B", "")});
    auto& c = f.Create(server.Port());
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(
        f.desktop.messages,
        std::vector<std::string>{
            "Error while communicating with 'B'\r\nThe connection to the mail server could "
            "not be opened.\r\nDetailed error message: no mail server is set for this entry"});
    EXPECT_TRUE(c.MailServers()[1].Failed);
    EXPECT_EQ(c.MailServers()[0].MessageCount, 1);
}

TEST(Controller, CheckNowPollsTheChosenEntryAndPutsFailedOnesBack)
{
    ControllerFixture f;
    bool refuse = true;
    ScriptedServer server([&refuse](ScriptedServer::Connection& c, const std::string& line) {
        if (line.empty() && refuse)
            c.Send("-ERR not now\r\n");
        else
            ScriptedServer::Pop3("+OK 1 10")(c, line);
    });
    f.Store({Row("A"), Row("B"), Row("C")});
    auto& c = f.Create(server.Port());
    ASSERT_EQ(f.desktop.messages.size(), 3u);
    EXPECT_TRUE(f.desktop.messages[0].starts_with("Error while communicating with 'C'"));
    EXPECT_TRUE(f.desktop.messages[2].starts_with("Error while communicating with 'A'"));

    refuse = false;
    c.IntervalTimerTimer();
    EXPECT_EQ(server.Connections(), 3) << "failed entries are off the schedule";

    c.ChecknowMenuItemClick(1);
    EXPECT_EQ(server.Connections(), 4);
    EXPECT_FALSE(c.MailServers()[1].Failed);
    EXPECT_TRUE(c.MailServers()[0].Failed);
    EXPECT_EQ(c.MailServers()[0].MinuteCounter, c.MailServers()[1].MinuteCounter + 2)
        << "the others count on";

    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(server.Connections(), 7);
    EXPECT_EQ(f.desktop.tray.back().tip, "You have 3 new mail messages");
    EXPECT_TRUE(c.Ticking());
    EXPECT_TRUE(f.desktop.menu[MenuCommand::Checknow].enabled);
}

TEST(Controller, GatingWithoutAGatePausesTheTicksButNotCheckNow)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 0 0"));
    auto settings = ControllerFixture::LoggingSettings();
    settings.ConnectionType = true;
    f.Store({Row("A")}, settings);
    auto& c = f.Create(server.Port());
    EXPECT_EQ(server.Connections(), 0);
    EXPECT_EQ(f.desktop.tray.back(),
              (RecordingDesktop::Tray{10, "Paused: the RAS connection is not active."}));
    EXPECT_EQ(c.MailServers()[0].MinuteCounter, 9) << "no counter advances while paused";
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(server.Connections(), 1);
}

TEST(Controller, ApplicationExceptionKeepsTheSentenceOfASocketNumberForTheNextReport)
{
    ControllerFixture f;
    ScriptedServer server([](ScriptedServer::Connection& c, const std::string& line) {
        if (line.empty())
            c.Send("-ERR go away\r\n");
    });
    f.Store({Row("Home")});
    auto& c = f.Create(server.Port());
    const std::string refused =
        "Error while communicating with 'Home'\r\nThe mail server rejected my connection by "
        "sending a negative welcome message.\r\nThe server said: go away";
    c.ApplicationException("Windows socket error: Connection refused (10061), on API 'connect'");
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.messages.back(),
              refused + "\r\nDetailed error message: the connection was refused (10061)");
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.messages.back(), refused) << "taken along once";
    c.ApplicationException("Windows socket error: Connection refused (10061), on API 'connect'");
    c.ApplicationException("Invalid data type for 'Interval'"); // no number: empties it
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.messages.back(), refused);
}

TEST(Controller, ASocketFailureOfTheSynchronizationFailsOnlyIt)
{
    ControllerFixture f;
    ScriptedServer server(ScriptedServer::Pop3("+OK 1 10"));
    auto settings = ControllerFixture::LoggingSettings();
    settings.SyncronizeTime = true;
    settings.TimeServer = "127.0.0.1";
    f.Store({Row("Home")}, settings);
    f.controller = std::make_unique<TProtocolForm>(
        TProtocolForm::Environment{f.store, f.desktop, f.clock, (f.dir / "Vorlane.log").string(),
                                   server.Port(), test::UnusedPort()});
    f.controller->FormCreate();
    EXPECT_EQ(f.desktop.messages,
              std::vector<std::string>{"Error while communicating with \"127.0.0.1\"\r\n"
                                       "Connecting to the remote host failed."});
    EXPECT_TRUE(f.Logged("Socket error 0x0000274D"));
    f.controller->ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.messages.size(), 1u) << "the mail poll goes on as before";
    EXPECT_FALSE(f.controller->MailServers()[0].Failed);
}

} // namespace
} // namespace vorlane
