#include "timesync/TimeServerAddress.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(IsTimeServerAddress, OnlyDigitsAndStopsWithExactlyFourStops)
{
    const struct
    {
        const char* server;
        bool address;
    } cases[] = {
        {"1.2.3.4.5", true},         {"....", true},
        {"127.0.0.1", false}, // three stops: a host name, resolved by the lookup
        {"192.168.0.1", false},      {"1.2.3.4.5.6", false},
        {"1.2.3.4.x", false},        {"1.2.3.4. ", false},
        {"time.example.org", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsTimeServerAddress(c.server), c.address) << '"' << c.server << '"';
}

} // namespace
} // namespace vorlane
