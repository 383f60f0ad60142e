#include "timesync/SetClock.h"

#include "timesync/RecordingClockSetter.h"
#include "timesync/TimeTexts.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::RecordingClockSetter;

const TimeData k2024{0xE9, 0x3C, 0x7F, 0x00};
const SystemTime k2024Utc{2024, 1, 1, 1, 0, 0, 0, 0};

TEST(SetClockFromTimeData, HandsTheUtcTimeToTheSetterAndLogsTheNewLocalTime)
{
    RecordingClockSetter setter(true);
    const ClockSetting result = SetClockFromTimeData(k2024, setter);
    EXPECT_EQ(setter.Calls(), std::vector<SystemTime>{k2024Utc});
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.utc, k2024Utc);
    EXPECT_EQ(result.logLine.rfind("New local time: ", 0), 0u) << result.logLine;
}

TEST(SetClockFromTimeData, TakesEveryRefusalForMissingPermission)
{
    RecordingClockSetter setter(false);
    const ClockSetting result = SetClockFromTimeData(k2024, setter);
    EXPECT_EQ(setter.Calls(), std::vector<SystemTime>{k2024Utc});
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.logLine, "Error setting the local time: Permission denied.");
}

} // namespace
} // namespace vorlane
