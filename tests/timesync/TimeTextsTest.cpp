#include "timesync/TimeTexts.h"

#include "timesync/LocalClock.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ComposeTimeError, WordsTheMessageByTheStateReached)
{
    const struct
    {
        int state;
        bool timedOut;
        const char* expected; // after the first line
    } cases[] = {
        {1, false, "Resolving the hostname failed."},
        {2, false, "Connecting to the remote host failed."},
        {3, false, "The time server send me wrong data."},
        {0, false, ""},
        {4, false, ""},
        {1, true, "A timeout error occured while  resolving the hostname."},
        {2, true, "A timeout error occured while  connecting to the remote host."},
        {3, true, "A timeout error occured while  waiting for the correct time data."},
        {0, true, "A timeout error occured while  communicating with the remote host."},
        {4, true, "A timeout error occured while  communicating with the remote host."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComposeTimeError("time.example.org", static_cast<TimeStep>(c.state), c.timedOut),
                  std::string("Error while communicating with \"time.example.org\"\r\n") +
                      c.expected)
            << "state " << c.state << (c.timedOut ? " timed out" : "");
    }
}

TEST(TimeTexts, PermissionTexts)
{
    EXPECT_EQ(kPermissionDeniedMessage,
              "Permission has been denied. To change this systems time or date you have to have "
              "the right privileges.");
    EXPECT_EQ(kPermissionDeniedLogLine, "Error setting the local time: Permission denied.");
}

TEST(FormatLocalDateTime, WritesTheLocalesDateAndTime)
{
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 15;
    local.tm_min = 4;
    local.tm_sec = 5;
    EXPECT_EQ(FormatLocalDateTime(local, "C"), "01/02/24 15:04:05");
    // A locale that is not installed falls back to the C form instead of failing.
    EXPECT_EQ(FormatLocalDateTime(local, "xx_NONE.UTF-8"), "01/02/24 15:04:05");
}

TEST(NewLocalTimeLine, StartsWithItsLabelAndHoldsDateAndTime)
{
    const std::string line = NewLocalTimeLine();
    ASSERT_EQ(line.rfind("New local time: ", 0), 0u) << line;
    EXPECT_NE(line.find(' ', 16), std::string::npos) << line;
}

} // namespace
} // namespace vorlane
