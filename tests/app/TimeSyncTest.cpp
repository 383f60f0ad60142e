// The clock synchronization and the connection gate, driven by the controller.
#include "app/ControllerFixture.h"
#include "servers/NetworkManagerMock.h"
#include "servers/ScriptedServer.h"
#include "servers/Xinetd.h"
#include "timesync/LocalClock.h"
#include "timesync/SyncSchedule.h"
#include "timesync/TimeTexts.h"

#include <chrono>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::ScriptedServer;

Settings Synchronizing(int interval = 0)
{
    auto s = ControllerFixture::LoggingSettings(2);
    s.SyncronizeTime = true;
    s.TimeServer = "127.0.0.1"; // three full stops: a host name, reached through the lookup
    s.TimeSynchronizationInterval = interval;
    return s;
}

// A time server that sends the given bytes (nothing: silence) and closes.
ScriptedServer::Script Sends(std::string bytes)
{
    return [bytes](ScriptedServer::Connection& connection, const std::string& line) {
        if (line.empty() && !bytes.empty()) {
            connection.Send(bytes);
            connection.Close();
        }
    };
}

std::optional<double> LastSynchronizedAt(const RegistryStore& store)
{
    const auto root = store.Read();
    const auto* value = root.OpenKey(kSettingsKey)->FindValue(kLastSynchronizedAt);
    return value ? std::optional(ReadDateTime(*value, "")) : std::nullopt;
}

TEST(TimeSync, SetsTheClockFromARealTimeServer)
{
    std::string why;
    if (!test::Xinetd::Available(why))
        GTEST_SKIP() << why;
    test::Xinetd xinetd;
    xinetd.Start();
    ControllerFixture f;
    f.Store({}, Synchronizing());
    auto& c = f.Create(test::UnusedPort(), xinetd.Port());

    ASSERT_EQ(f.clock.Calls().size(), 1u);
    const auto set = f.clock.Calls()[0];
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    const auto seconds = [](int d, int h, int m, int s) {
        return ((d * 24 + h) * 60 + m) * 60 + s;
    };
    EXPECT_EQ(set.year, utc.tm_year + 1900);
    EXPECT_LE(std::abs(seconds(set.day, set.hour, set.minute, set.second) -
                       seconds(utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec)),
              3);
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_TRUE(f.Logged("Synchronizing time."));
    const auto log = f.Log();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
        return l.starts_with("New local time: ");
    }));
    const auto synchronizing =
        std::find(f.desktop.tray.begin(), f.desktop.tray.end(),
                  test::RecordingDesktop::Tray{9, "Synchronizing time with 127.0.0.1"});
    EXPECT_NE(synchronizing, f.desktop.tray.end());
    EXPECT_EQ(f.desktop.tray.back().tip, TrayStatus::kNoMailboxTip);
    ASSERT_TRUE(LastSynchronizedAt(f.store));
    EXPECT_NEAR(*LastSynchronizedAt(f.store), LocalDateTimeNow(), 10.0 / 86400);

    c.IntervalTimerTimer(); // an hour has not passed
    EXPECT_EQ(f.clock.Calls().size(), 1u);
}

TEST(TimeSync, ConvertsEveryDatumOnTheWire)
{
    const struct
    {
        std::string bytes;
        SystemTime utc;
    } cases[] = {
        {std::string("\xE9\x3C\x7F\x00", 4), {2024, 1, 1, 1, 0, 0, 0, 0}},
        {std::string("\x83\xAA\x7E\x80", 4), {1970, 1, 4, 1, 0, 0, 0, 0}},
        {std::string("\x00\x00\x00\x00", 4), {2036, 2, 4, 7, 6, 28, 16, 0}},
        {std::string("\xFF\xFF\xFF\xFF", 4), {2036, 2, 4, 7, 6, 28, 15, 0}},
    };
    for (const auto& c : cases) {
        ScriptedServer server(Sends(c.bytes));
        ControllerFixture f;
        f.Store({}, Synchronizing());
        f.Create(test::UnusedPort(), server.Port());
        ASSERT_EQ(f.clock.Calls().size(), 1u);
        auto set = f.clock.Calls()[0];
        set.dayOfWeek = c.utc.dayOfWeek; // the platform ignores it
        EXPECT_EQ(set, c.utc) << c.utc.year;
        EXPECT_TRUE(f.desktop.messages.empty());
    }
}

TEST(TimeSync, ReportsWrongDataTimeOutsAndARefusedClock)
{
    const struct
    {
        const char* name;
        std::string bytes;
        bool accept;
        const char* logged;
        std::string message;
    } cases[] = {
        {"two bytes", std::string("\x01\x02", 2), true,
         "Socket: Time, Invalid Datasize: 0x0002, expected: 0x0004",
         "Error while communicating with \"127.0.0.1\"\r\nThe time server send me wrong data."},
        {"256 bytes", std::string(256, 'x'), true,
         "Socket: Time, Invalid Datasize: 0x0100, expected: 0x0004",
         "Error while communicating with \"127.0.0.1\"\r\nThe time server send me wrong data."},
        {"silence", "", true, "Synchronizing time.",
         "Error while communicating with \"127.0.0.1\"\r\nA timeout error occured while  waiting "
         "for the correct time data."},
        {"clock refused", std::string("\xE9\x3C\x7F\x00", 4), false,
         "Error setting the local time: Permission denied.", std::string(kPermissionDeniedMessage)},
    };
    for (const auto& c : cases) {
        ScriptedServer server(Sends(c.bytes));
        ControllerFixture f;
        f.clock = test::RecordingClockSetter(c.accept);
        f.Store({}, Synchronizing());
        auto& controller = f.Create(test::UnusedPort(), server.Port());
        EXPECT_TRUE(f.Logged(c.logged)) << c.name;
        EXPECT_EQ(f.desktop.messages, std::vector<std::string>{c.message})
            << c.name << ": reported once";
        EXPECT_TRUE(LastSynchronizedAt(f.store)) << c.name << ": every attempt is recorded";
        controller.IntervalTimerTimer();
        EXPECT_EQ(f.desktop.messages.size(), 1u) << c.name << ": the next attempt is an hour later";
    }
}

TEST(TimeSync, TheMenuCommandSynchronizesNowUnlessTheIntervalIsNone)
{
    ScriptedServer server(Sends(std::string("\xE9\x3C\x7F\x00", 4)));
    ControllerFixture f;
    auto s = Synchronizing(1);
    s.ConnectionType = true; // paused: no chosen connection is up
    f.Store({}, s);
    auto& c = f.Create(test::UnusedPort(), server.Port());
    EXPECT_EQ(f.clock.Calls().size(), 0u) << "the paused tick does nothing";
    c.SynchronizeTimeMenuItemClick();
    EXPECT_EQ(f.clock.Calls().size(), 1u) << "the command does not ask the gate";
    c.SynchronizeTimeMenuItemClick();
    EXPECT_EQ(f.clock.Calls().size(), 2u) << "daily, minutes after the last one";
    EXPECT_TRUE(c.Ticking());

    ControllerFixture g;
    g.Store({}, Synchronizing(2));
    auto& never = g.Create(test::UnusedPort(), server.Port());
    never.SynchronizeTimeMenuItemClick();
    EXPECT_EQ(g.clock.Calls().size(), 0u);
    ASSERT_TRUE(LastSynchronizedAt(g.store));
    EXPECT_NEAR(*LastSynchronizedAt(g.store), LocalDateTimeNow() - 2.0, 10.0 / 86400);
}

TEST(TimeSync, ALastSynchronizationInTheFutureIsDueAtOnce)
{
    ScriptedServer server(Sends(std::string("\xE9\x3C\x7F\x00", 4)));
    ControllerFixture f;
    f.Store({}, Synchronizing());
    WriteLastSynchronizedAt(f.store, LocalDateTimeNow() + 1.0 / 24);
    f.Create(test::UnusedPort(), server.Port());
    EXPECT_EQ(f.clock.Calls().size(), 1u);
}

// The connection gate against NetworkManager's stand-in on a private bus.
TEST(ConnectionGate, OnlyTheFirstChosenActiveConnectionDecides)
{
    std::string why;
    if (!test::PrivateBus::Available(why) || !test::NetworkManagerMock::Available(why))
        GTEST_SKIP() << why;
    struct Active
    {
        const char* name;
        std::uint32_t state;
    };
    const struct
    {
        const char* name;
        std::string chosen;
        std::vector<Active> active;
        bool available;
    } cases[] = {
        {"Office chosen and up", "|Office", {{"Office", 2}}, true},
        {"letter case counts", "|office", {{"Office", 2}}, false},
        {"still connecting", "|Office", {{"Office", 1}}, false},
        {"Home connecting before Office up", "|Home|Office", {{"Home", 1}, {"Office", 2}}, false},
        {"an unchosen one is skipped", "|Office", {{"Wired", 2}, {"Office", 2}}, true},
        {"chosen without any bar", "Office", {{"Office", 2}}, false},
    };
    for (const auto& c : cases) {
        test::PrivateBus bus;
        test::NetworkManagerMock networkManager(bus.Address());
        ASSERT_TRUE(networkManager.Running()) << c.name;
        for (const auto& active : c.active)
            networkManager.AddActiveConnection(networkManager.AddProfile(active.name),
                                               active.state);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().toUtf8().constData(), 1);

        ScriptedServer mail(ScriptedServer::Pop3("+OK 0 0"));
        ControllerFixture f;
        auto s = ControllerFixture::LoggingSettings();
        s.ConnectionType = true;
        s.RasConnection = c.chosen;
        f.Store({{"Home", "joe", "127.0.0.1", "10", "x"}}, s);
        f.Create(mail.Port());
        EXPECT_EQ(mail.Connections(), c.available ? 1 : 0) << c.name;
        EXPECT_EQ(f.Logged("Active RAS Connection found."), c.available) << c.name;
        if (!c.available) {
            EXPECT_EQ(f.desktop.tray.back().tip, "Paused: the RAS connection is not active.")
                << c.name;
        }
    }
}

TEST(ConnectionGate, WithoutASystemBusWorkPausesAndNothingIsLogged)
{
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vorlane-test-bus", 1);
    ControllerFixture f;
    auto s = ControllerFixture::LoggingSettings();
    s.ConnectionType = true;
    s.RasConnection = "|Office";
    f.Store({}, s);
    auto& c = f.Create(test::UnusedPort());
    EXPECT_EQ(f.desktop.tray.back().image, 10);
    EXPECT_FALSE(f.Logged("Active RAS Connection found."));
    s.ConnectionType = false;
    f.Store({}, s);
    c.SettingsMenuItemClick(); // closed after the change: the settings are loaded again
    EXPECT_EQ(f.desktop.tray.back(), (test::RecordingDesktop::Tray{0, TrayStatus::kNoMailboxTip}))
        << "gating off does not touch the bus";
}

} // namespace
} // namespace vorlane
