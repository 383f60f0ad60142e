// The clock through systemd-timedated when the process may not set it itself: python3-dbusmock's
// timedated on a private bus standing in for the system bus. The direct setter is a fake that
// refuses; nothing here can set the real clock.
#include "app/ControllerFixture.h"
#include "net/TimedatedClockSetter.h"
#include "servers/NetworkManagerMock.h"
#include "servers/ScriptedServer.h"
#include "servers/TimedatedMock.h"
#include "timesync/TimeTexts.h"

#include <gtest/gtest.h>
#include <optional>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::PrivateBus;
using test::RecordingClockSetter;
using test::TimedatedMock;

#define REQUIRE_TIMEDATED_MOCK()                                                                   \
    do {                                                                                           \
        std::string why;                                                                           \
        if (!TimedatedMock::Available(why))                                                        \
            GTEST_SKIP() << why;                                                                   \
    } while (false)

constexpr const char* kNtpError = "org.freedesktop.timedate1.AutomaticTimeSyncEnabled";
constexpr const char* kDenied = "org.freedesktop.DBus.Error.AccessDenied";

// 2024-01-01 00:00:00.250 UTC.
const SystemTime kNewYear{2024, 1, 1, 1, 0, 0, 0, 250};
constexpr qint64 kNewYearMicroseconds = 1704067200LL * 1000000 + 250000;

struct Timedated
{
    const char* name;
    bool present;
    bool ntp;
    const char* refusal; // the D-Bus error SetTime answers with, if any
};

TEST(Timedated, IsAskedOnlyWhenTheDirectCallFailsAndTellsNtpApart)
{
    REQUIRE_TIMEDATED_MOCK();
    const struct
    {
        Timedated timedated;
        bool directAccepts;
        bool set;
        bool keptByNtp;
        std::size_t calls;
    } cases[] = {
        {{"direct call works", true, false, nullptr}, true, true, false, 0},
        {{"timedated sets it", true, false, nullptr}, false, true, false, 1},
        {{"polkit refuses", true, false, kDenied}, false, false, false, 1},
        {{"NTP keeps the clock", true, true, kNtpError}, false, false, true, 1},
        {{"no timedated on the bus", false, false, nullptr}, false, false, false, 0},
    };
    for (const auto& c : cases) {
        const PrivateBus bus;
        ASSERT_FALSE(bus.Address().isEmpty());
        std::optional<TimedatedMock> mock;
        if (c.timedated.present) {
            mock.emplace(bus.Address(), c.timedated.ntp);
            ASSERT_TRUE(mock->Running()) << c.timedated.name;
            if (c.timedated.refusal != nullptr)
                mock->RefuseSetTime(c.timedated.refusal, "refused");
        }
        RecordingClockSetter direct(c.directAccepts);
        TimedatedClockSetter timedated(bus.Address());
        FallbackClockSetter clock(direct, timedated);
        EXPECT_EQ(clock.SetSystemTime(kNewYear), c.set) << c.timedated.name;
        EXPECT_EQ(clock.ClockKeptByNtp(), c.keptByNtp) << c.timedated.name;
        EXPECT_EQ(direct.Calls().size(), 1u) << "the direct call always comes first";
        if (!mock)
            continue;
        const auto calls = mock->SetTimeCalls();
        ASSERT_EQ(calls.size(), c.calls) << c.timedated.name;
        for (const auto& call : calls) {
            EXPECT_EQ(call.microseconds, kNewYearMicroseconds) << c.timedated.name;
            EXPECT_FALSE(call.relative);
            EXPECT_TRUE(call.interactive) << "polkit may ask the user";
        }
    }
}

TEST(Timedated, NtpIsToldOnceAndARefusalEveryTime)
{
    REQUIRE_TIMEDATED_MOCK();
    const struct
    {
        Timedated timedated;
        std::vector<std::string> messages; // after two synchronizations
        std::string_view logLine;
    } cases[] = {
        {{"NTP keeps the clock", true, true, kNtpError},
         {std::string(kNtpKeepsClockMessage)},
         kNtpKeepsClockLogLine},
        {{"polkit refuses", true, false, kDenied},
         {std::string(kPermissionDeniedMessage), std::string(kPermissionDeniedMessage)},
         kPermissionDeniedLogLine},
    };
    test::ScriptedServer server(
        [](test::ScriptedServer::Connection& connection, const std::string& line) {
            if (line.empty()) {
                connection.Send(std::string("\xE9\x3C\x7F\x00", 4));
                connection.Close();
            }
        });
    for (const auto& c : cases) {
        const PrivateBus bus;
        TimedatedMock mock(bus.Address(), c.timedated.ntp);
        ASSERT_TRUE(mock.Running());
        mock.RefuseSetTime(c.timedated.refusal, "refused");
        RecordingClockSetter direct(false);
        TimedatedClockSetter timedated(bus.Address());
        FallbackClockSetter clock(direct, timedated);

        ControllerFixture f;
        auto settings = ControllerFixture::LoggingSettings(5);
        settings.SyncronizeTime = true;
        settings.TimeServer = "127.0.0.1";
        f.Store({}, settings);
        f.controller = std::make_unique<TProtocolForm>(
            TProtocolForm::Environment{f.store, f.desktop, clock, (f.dir / "Vorlane.log").string(),
                                       test::UnusedPort(), server.Port()});
        f.controller->FormCreate();
        f.controller->SynchronizeTimeMenuItemClick();
        EXPECT_EQ(direct.Calls().size(), 2u) << c.timedated.name;
        EXPECT_EQ(mock.SetTimeCalls().size(), 2u) << c.timedated.name;
        EXPECT_EQ(f.desktop.messages, c.messages) << c.timedated.name;
        const auto log = f.Log();
        EXPECT_EQ(std::count(log.begin(), log.end(), std::string(c.logLine)), 2)
            << c.timedated.name;
    }
}

} // namespace
} // namespace vorlane
