#include "net/SocketErrors.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(SocketErrorSentence, TakesTheFirstRowWhoseNumberOccursInTheText)
{
    const struct
    {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Windows socket error: Connection refused (10061), on API 'connect'",
         "the connection was refused (10061)"},
        {"10060", "the network connection timed out (10060), does the host exist?"},
        {"codes 10061 and 10054", "the connection was refused (10054)"},
        {"10057", "data could not be send because the connection was not established (10057)"},
        {"10063", "the name of the opponent was to long (10063)"},
        {"Windows socket error: (10049), on API 'connect'", ""},
        {"Invalid data type for 'Interval'", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SocketErrorSentence(c.text), c.expected) << c.text;
}

TEST(SocketErrorLogLine, WritesEightUpperCaseHexDigits)
{
    EXPECT_EQ(SocketErrorLogLine(10061), "Socket error 0x0000274D");
    EXPECT_EQ(SocketErrorLogLine(11001), "Socket error 0x00002AF9");
    EXPECT_EQ(SocketErrorLogLine(-1), "Socket error 0xFFFFFFFF");
}

} // namespace
} // namespace vorlane
