#include "util/WholeNumber.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ParseWholeNumber, AcceptsDecimalIntegersOnly)
{
    const struct
    {
        const char* text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"10", 10},
        {"0", 0},
        {"-5", -5},
        {"+7", 7},
        {"  12", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"12 ", std::nullopt},
        {"1.5", std::nullopt},
        {"abc", std::nullopt},
        {"+-3", std::nullopt},
        {"--3", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWholeNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParseCount, AcceptsDecimalDigitsAloneWithinTheSigned32BitRange)
{
    const std::pair<const char*, std::int32_t> counts[] = {
        {"0", 0},
        {"42", 42},
        {"007", 7},
        {"2147483647", 2147483647},
        {"00002147483647", 2147483647},
    };
    for (const auto& [text, count] : counts)
        EXPECT_EQ(ParseCount(text), count) << '"' << text << '"';
    for (const char* text : {"", "+5", "-5", "-0", " 5", "5 ", "\t5", "5\r", "2147483648",
                             "99999999999", "1e3", "0x10", "\xD9\xA3" /* Arabic-Indic three */})
        EXPECT_EQ(ParseCount(text), std::nullopt) << '"' << text << '"';
}

} // namespace
} // namespace vorlane
