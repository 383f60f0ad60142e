#include "timesync/SyncSchedule.h"

#include "config/RegistryError.h"
#include "config/RegistryValue.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"
#include "timesync/DateTime.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double kMinute = 1.0 / 1440.0;

TEST(IsSynchronizationDue, ComparesTheElapsedTimeWithTheIntervalsThreshold)
{
    const struct
    {
        int interval;
        double elapsed;
        bool due;
    } cases[] = {
        {0, 59 * kMinute, false},
        {0, 60 * kMinute, true},
        {0, 61 * kMinute, true},
        {0, 0.0, false},
        {1, 23 * 60 * kMinute + 59 * kMinute, false},
        {1, 24 * 60 * kMinute, true},
        {1, 3.0, true},
        {2, 45000.0, false},
        {-1, 45000.0, false},
        {0, 45000.0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSynchronizationDue(c.interval, c.elapsed), c.due)
            << "interval " << c.interval << ", " << c.elapsed / kMinute << " minutes";
}

RegistryKey RootWithLastSynchronizedAt(const RegistryValue& value)
{
    RegistryKey root;
    root.CreateKey(kSettingsKey).SetValue(kLastSynchronizedAt, value);
    return root;
}

TEST(DaysSinceLastSynchronization, MeasuresRealDateTimesToTheMinute)
{
    // Differences of date-times near day 45000 are not exact: an hour between these two comes
    // out a few microseconds short of 1/24, which must still be due.
    const double last = DateTimeFromCivil(2023, 3, 15, 0, 0, 0);
    ASSERT_LT(DateTimeFromCivil(2023, 3, 15, 1, 0, 0) - last, kHourlyThreshold);
    const struct
    {
        int interval;
        double now;
        bool due;
    } cases[] = {
        {0, DateTimeFromCivil(2023, 3, 15, 0, 59, 0), false},
        {0, DateTimeFromCivil(2023, 3, 15, 1, 0, 0), true},
        {1, DateTimeFromCivil(2023, 3, 15, 23, 59, 0), false},
        {1, DateTimeFromCivil(2023, 3, 16, 0, 0, 0), true},
        {2, DateTimeFromCivil(2023, 4, 15, 0, 0, 0), false},
    };
    const RegistryKey root = RootWithLastSynchronizedAt(DateTimeValue(last));
    for (const auto& c : cases) {
        const double elapsed = DaysSinceLastSynchronization(root, c.now);
        EXPECT_EQ(IsSynchronizationDue(c.interval, elapsed), c.due)
            << "interval " << c.interval << ", " << elapsed / kMinute << " minutes";
    }
}

TEST(DaysSinceLastSynchronization, IsNowItselfWithoutAnEarlierValue)
{
    const double now = DateTimeFromCivil(2024, 5, 6, 12, 0, 0);
    RegistryKey noSettingsKey;
    noSettingsKey.CreateKey("SOFTWARE\\Mirvo\\Garbelund")
        .SetValue(kLastSynchronizedAt, DateTimeValue(now - 2));
    RegistryKey noValue;
    noValue.CreateKey(kSettingsKey).SetValue("TimeServer", StringValue("time.example.org"));
    const struct
    {
        const char* what;
        RegistryKey root;
        double expected;
    } cases[] = {
        {"no settings key", noSettingsKey, now},
        {"no value", noValue, now},
        {"an hour in the future", RootWithLastSynchronizedAt(DateTimeValue(now + 1.0 / 24)), now},
        {"equal to now: just synchronized", RootWithLastSynchronizedAt(DateTimeValue(now)), 0.0},
        {"two days back", RootWithLastSynchronizedAt(DateTimeValue(now - 2.0)), 2.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DaysSinceLastSynchronization(c.root, now), c.expected) << c.what;
}

TEST(DaysSinceLastSynchronization, AValueOfAnotherKindFailsWithTheRegistryError)
{
    const RegistryValue wrongKinds[] = {
        StringValue("45000"),
        IntegerValue(45000),
        {REG_BINARY, std::string(4, '\0')},
    };
    for (const auto& value : wrongKinds) {
        try {
            DaysSinceLastSynchronization(RootWithLastSynchronizedAt(value), 45000.0);
            ADD_FAILURE() << "no failure for type " << value.type;
        } catch (const RegistryError& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'LastSynchronizedAt'");
        }
    }
}

TEST(WriteLastSynchronizedAt, WritesTheDateTimeIntoTheExistingSettingsKey)
{
    const test::TempDir dir("timesync");
    RegistryStore store(dir / "registry.reg");
    store.Modify([](RegistryKey& root) {
        root.CreateKey("Software\\Mirvo\\Vorlane").SetValue("TimeServer", StringValue("t"));
    });
    WriteLastSynchronizedAt(store, 45292.5);
    const RegistryKey root = store.Read();
    const RegistryKey* settings = root.OpenKey(kSettingsKey);
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(settings->FindValue(kLastSynchronizedAt), nullptr);
    EXPECT_EQ(*settings->FindValue(kLastSynchronizedAt), DateTimeValue(45292.5));
    EXPECT_EQ(*settings->FindValue("TimeServer"), StringValue("t"));
    EXPECT_DOUBLE_EQ(DaysSinceLastSynchronization(root, 45293.5), 1.0);
}

TEST(WriteLastSynchronizedAt, NeverCreatesTheSettingsKey)
{
    const test::TempDir dir("timesync");
    RegistryStore store(dir / "registry.reg");
    WriteLastSynchronizedAt(store, 45292.5);
    EXPECT_EQ(store.Read().OpenKey(kSettingsKey), nullptr);

    store.Modify([](RegistryKey& root) { root.CreateKey("SOFTWARE\\Mirvo"); });
    WriteLastSynchronizedAt(store, 45292.5);
    const RegistryKey root = store.Read();
    EXPECT_EQ(root.OpenKey(kSettingsKey), nullptr);
    ASSERT_NE(root.OpenKey("SOFTWARE\\Mirvo"), nullptr);
    EXPECT_TRUE(root.OpenKey("SOFTWARE\\Mirvo")->Values().empty());
}

} // namespace
} // namespace vorlane
