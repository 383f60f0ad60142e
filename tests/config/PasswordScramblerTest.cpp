#include "config/PasswordScrambler.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScramblePassword, MatchesTheKnownExample)
{
    EXPECT_EQ(ScramblePassword("abc"), "\x39\x3B\x3D");
    EXPECT_EQ(UnscramblePassword("\x39\x3B\x3D"), "abc");
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(ScramblePassword, RoundTripsEveryByteValue)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const auto scrambled = ScramblePassword(all);
    ASSERT_EQ(scrambled.size(), all.size());
    EXPECT_EQ(UnscramblePassword(scrambled), all);
    // Each byte on its own, reversed order aside: the byte 255 scrambles to a zero byte.
    EXPECT_EQ(ScramblePassword("\xFF"), std::string(1, '\0'));
    EXPECT_EQ(ScramblePassword(std::string(1, '\0')), "\xFF");
    EXPECT_EQ(ScramblePassword("ab"), ScramblePassword("b") + ScramblePassword("a"));
}

} // namespace
} // namespace vorlane
