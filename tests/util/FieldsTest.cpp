#include "util/Fields.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(CountFields, CountsSeparatorsPlusOneAndNothingWithoutSeparator)
{
    const struct
    {
        const char* text;
        char separator;
        int expected;
    } cases[] = {
        {"", '|', 0},  {"Office", '|', 0}, {"|Office", '|', 2},   {"|A|B", '|', 3},
        {"|", '|', 2}, {"A||B", '|', 3},   {"+OK 2 320", ' ', 3}, {"+OK", ' ', 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountFields(c.text, c.separator), c.expected) << '"' << c.text << '"';
}

TEST(ExtractField, TakesTheTextBetweenSeparators)
{
    const struct
    {
        const char* text;
        int k;
        const char* expected;
    } cases[] = {
        {"|A|B", 1, ""},         {"|A|B", 2, "A"}, {"|A|B", 3, "B"}, {"|A|B", 4, ""},
        {"Office", 1, "Office"}, // no separator: one field for ExtractField, none for CountFields
        {"Office", 2, ""},       {"A||B", 2, ""},  {"A||B", 3, "B"}, {"A|B|", 3, ""},
        {"A|B", 0, ""},          {"A|B", -1, ""},  {"", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractField(c.text, c.k, '|'), c.expected)
            << '"' << c.text << "\" field " << c.k;
}

TEST(ExtractField, SplitsAStatReplyAtBlanks)
{
    EXPECT_EQ(ExtractField("+OK 2 320", 2, ' '), "2");
    EXPECT_EQ(ExtractField("+OK 2 320", 3, ' '), "320");
}

} // namespace
} // namespace vorlane
