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
    const struct
    {
        const char* text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"007", 7},
        {"2147483647", 2147483647},
        {"00000000002147483647", 2147483647},
        {"", std::nullopt},
        {"+5", std::nullopt},
        {"-5", std::nullopt},
        {"-0", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"\t5", std::nullopt},
        {"5\r", std::nullopt},
        {"2147483648", std::nullopt},
        {"99999999999", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"\xD9\xA3", std::nullopt}, // ARABIC-INDIC DIGIT THREE
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCount(c.text), c.expected) << '"' << c.text << '"';
}

} // namespace
} // namespace vorlane
