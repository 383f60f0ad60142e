#include "timesync/TimeData.h"

#include "timesync/DateTime.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(TimeData, ConvertsTheCountWithTheWrapOf2036)
{
    const struct
    {
        TimeData data;
        std::int32_t seconds;
        double days;
        SystemTime utc; // year, month, dayOfWeek, day, hour, minute, second, millisecond
    } cases[] = {
        {{0xE9, 0x3C, 0x7F, 0x00}, 1704067200, 45292.0, {2024, 1, 1, 1, 0, 0, 0, 0}},
        {{0x83, 0xAA, 0x7E, 0x80}, 0, 25569.0, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {{0x00, 0x00, 0x00, 0x00},
         2085978496,
         49712.0 + 23296.0 / 86400.0,
         {2036, 2, 4, 7, 6, 28, 16, 0}},
        {{0xFF, 0xFF, 0xFF, 0xFF},
         2085978495,
         49712.0 + 23295.0 / 86400.0,
         {2036, 2, 4, 7, 6, 28, 15, 0}},
        // The ends of the range: the largest signed count and the smallest.
        {{0x03, 0xAA, 0x7E, 0x7F},
         2147483647,
         50424.0 + 11647.0 / 86400.0,
         {2038, 1, 2, 19, 3, 14, 7, 0}},
        {{0x03, 0xAA, 0x7E, 0x80},
         -2147483647 - 1,
         713.0 + 74752.0 / 86400.0,
         {1901, 12, 5, 13, 20, 45, 52, 0}},
        // The last second of a day stays on that day.
        {{0xE9, 0x3D, 0xD0, 0x7F},
         1704153599,
         45292.0 + 86399.0 / 86400.0,
         {2024, 1, 1, 1, 23, 59, 59, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(SecondsSince1970(c.data), c.seconds);
        EXPECT_NEAR(DateTimeFromTimeData(c.data), c.days, 1e-9); // well below a millisecond
        EXPECT_EQ(SystemTimeFromTimeData(c.data), c.utc);
        EXPECT_EQ(UnixSecondsFromSystemTime(c.utc), c.seconds);
    }
}

TEST(TimeData, InvalidSizeLineGivesAtLeastFourUpperCaseHexDigits)
{
    const struct
    {
        std::size_t size;
        const char* line;
    } cases[] = {
        {2, "Socket: Time, Invalid Datasize: 0x0002, expected: 0x0004"},
        {256, "Socket: Time, Invalid Datasize: 0x0100, expected: 0x0004"},
        {0, "Socket: Time, Invalid Datasize: 0x0000, expected: 0x0004"},
        {0xABCDE, "Socket: Time, Invalid Datasize: 0xABCDE, expected: 0x0004"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InvalidDataSizeLine(c.size), c.line);
}

TEST(DateTime, CivilFieldsOnTheProgramsScale)
{
    EXPECT_DOUBLE_EQ(DateTimeFromCivil(1899, 12, 30, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(DateTimeFromCivil(1970, 1, 1, 0, 0, 0), kUnixEpochDays);
    EXPECT_DOUBLE_EQ(DateTimeFromCivil(2024, 2, 29, 18, 0, 0), 45351.75);
    EXPECT_DOUBLE_EQ(DateTimeFromCivil(1899, 12, 29, 12, 0, 0), -0.5);
    EXPECT_DOUBLE_EQ(DateTimeFromCivil(2024, 1, 1, 0, 0, 1, 500), 45292.0 + 1.5 / 86400.0);
}

TEST(DateTime, FieldsThatNameNoRealTimeHaveNoSeconds)
{
    const SystemTime valid{2024, 2, 0, 29, 23, 59, 59, 999};
    EXPECT_EQ(UnixSecondsFromSystemTime(valid), 1709251199);
    const auto with = [&](auto field, std::uint16_t value) {
        SystemTime changed = valid;
        changed.*field = value;
        return UnixSecondsFromSystemTime(changed);
    };
    EXPECT_EQ(with(&SystemTime::month, 0), std::nullopt);
    EXPECT_EQ(with(&SystemTime::month, 13), std::nullopt);
    EXPECT_EQ(with(&SystemTime::day, 0), std::nullopt);
    EXPECT_EQ(with(&SystemTime::year, 2023), std::nullopt); // no 29 February
    EXPECT_EQ(with(&SystemTime::hour, 24), std::nullopt);
    EXPECT_EQ(with(&SystemTime::minute, 60), std::nullopt);
    EXPECT_EQ(with(&SystemTime::second, 60), std::nullopt);
    EXPECT_EQ(with(&SystemTime::millisecond, 1000), std::nullopt);
}

} // namespace
} // namespace vorlane
