#include "mail/MailServer.h"

#include <climits>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

TMailServer Entry(int interval, const std::string& host = "pop.example.org")
{
    return TMailServer("Home", "joe", "secret", host, interval);
}

// The ticks (1-based) on which IsDue answers true, over the first n ticks.
std::vector<int> DueTicks(TMailServer& server, int n)
{
    std::vector<int> due;
    for (int tick = 1; tick <= n; ++tick)
        if (server.IsDue())
            due.push_back(tick);
    return due;
}

TEST(TMailServer, ConstructorKeepsTheFieldsInOrder)
{
    const TMailServer server("Home", "joe", "secret", "192.168.0.1", 5);
    EXPECT_EQ(server.Name, "Home");
    EXPECT_EQ(server.UserName, "joe");
    EXPECT_EQ(server.Password, "secret");
    EXPECT_EQ(server.Host, "192.168.0.1");
    EXPECT_EQ(server.Interval, 5);
    EXPECT_EQ(server.MinuteCounter, 4);
    EXPECT_TRUE(server.IsAddress);
    EXPECT_FALSE(server.Failed || server.CountChanged || server.SizeChanged);
}

TEST(TMailServer, IsDueOnTheFirstTickThenEveryInterval)
{
    const struct
    {
        int interval;
        std::vector<int> due;
    } cases[] = {
        {1, {1, 2, 3, 4, 5, 6, 7}},
        {3, {1, 4, 7}},
        {0, {1}}, // only by editing the file: due once after a load, never again
        {-4, {1}},
    };
    for (const auto& c : cases) {
        auto server = Entry(c.interval);
        EXPECT_EQ(DueTicks(server, 7), c.due) << "interval " << c.interval;
    }
}

TEST(TMailServer, FailedEntryCountsOnButIsNotDueUntilReset)
{
    auto server = Entry(2);
    ASSERT_TRUE(server.IsDue());
    server.Failed = true;
    EXPECT_EQ(DueTicks(server, 5), std::vector<int>{});
    EXPECT_EQ(server.MinuteCounter, 5);
    server.ResetSchedule();
    EXPECT_FALSE(server.Failed);
    EXPECT_TRUE(server.IsDue());
}

TEST(TMailServer, ExtremeIntervalsDoNotOverflow)
{
    auto low = Entry(INT_MIN);
    EXPECT_EQ(low.MinuteCounter, INT_MAX);
    EXPECT_TRUE(low.IsDue());
    EXPECT_EQ(DueTicks(low, 3), std::vector<int>{});
    auto high = Entry(INT_MAX);
    EXPECT_TRUE(high.IsDue());
}

TEST(TMailServer, ChangeFlagsIgnoreSizeChangesUpTo34Octets)
{
    auto server = Entry(10);
    server.SetMessageCount(2);
    server.SetMailboxSize(1000);
    EXPECT_TRUE(server.HasNewMail());

    server.SetMessageCount(2);
    server.SetMailboxSize(1034);
    EXPECT_FALSE(server.CountChanged);
    EXPECT_FALSE(server.SizeChanged);
    EXPECT_FALSE(server.HasNewMail());

    server.SetMailboxSize(999);
    EXPECT_TRUE(server.SizeChanged) << "35 octets less";
    server.SetMessageCount(1);
    EXPECT_TRUE(server.CountChanged) << "a count that falls";
    server.SetMailboxSize(INT_MIN);
    server.SetMailboxSize(INT_MAX);
    EXPECT_TRUE(server.SizeChanged);
}

TEST(IsNumericAddress, NeedsDigitsAndExactlyThreeFullStops)
{
    const struct
    {
        const char* host;
        bool expected;
    } cases[] = {
        {"192.168.0.1", true}, {"1..2.3", true},     {"...", true},
        {"1.2.3.4.5", false},  {"10.0.0", false},    {"pop.example.org", false},
        {"10.0.0.a", false},   {"1-2.3.4.5", false}, {"", false},
        {" 1.2.3.4", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Entry(1, c.host).IsAddress, c.expected) << '"' << c.host << '"';
}

} // namespace
} // namespace vorlane
