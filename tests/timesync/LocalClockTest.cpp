#include "timesync/LocalClock.h"

#include "timesync/DateTime.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace vorlane {
namespace {

// Puts the process into a time zone with summer time for one test, without needing tzdata.
class CentralEuropeanTime : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ"))
            saved_ = tz;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(CentralEuropeanTime, LocalDateTimeIsTheLocalWallClockWithMilliseconds)
{
    const struct
    {
        timespec instant;
        double expected;
    } cases[] = {
        {{1719835200, 250000000}, DateTimeFromCivil(2024, 7, 1, 14, 0, 0, 250)}, // summer
        {{1704069000, 999999999}, DateTimeFromCivil(2024, 1, 1, 1, 30, 0, 999)}, // winter
        {{1704067199, 0}, DateTimeFromCivil(2024, 1, 1, 0, 59, 59)},             // new year
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LocalDateTimeAt(c.instant), c.expected) << c.instant.tv_sec;
}

TEST(LocalDateTimeNow, ReadsTheSystemClock)
{
    timespec before{};
    ::clock_gettime(CLOCK_REALTIME, &before);
    const double now = LocalDateTimeNow();
    timespec after{};
    ::clock_gettime(CLOCK_REALTIME, &after);
    EXPECT_LE(LocalDateTimeAt(before), now);
    EXPECT_LE(now, LocalDateTimeAt(after));
}

} // namespace
} // namespace vorlane
