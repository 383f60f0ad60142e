#include "util/Version.h"

#include "VersionInfo.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

VersionStringTable Table(const char* languageCodePage, const char* fileVersion)
{
    return {languageCodePage, {{"CompanyName", "x"}, {"FileVersion", fileVersion}}};
}

TEST(GetVersionString, PrefersTheDutchTableThenUsEnglish)
{
    const struct
    {
        const char* name;
        VersionResource resource;
        const char* expected;
    } cases[] = {
        {"both tables, Dutch listed last",
         {{Table("040904E4", "1.0 en"), Table("041304E4", "1.0 nl")}},
         "1.0 nl"},
        {"US English only", {{Table("040904E4", "2.1")}}, "2.1"},
        {"another code page only", {{Table("040904B0", "3.0")}}, ""},
        {"no string tables", {}, ""},
        {"table without FileVersion", {{{"040904E4", {{"ProductName", "Vorlane"}}}}}, ""},
        {"lower-case table name", {{Table("040904e4", "4.0")}}, "4.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetVersionString(&c.resource), c.expected) << c.name;
}

TEST(GetVersionString, WithoutResourceIsEmpty)
{
    EXPECT_EQ(GetVersionString(nullptr), "");
}

TEST(GetVersionString, OfTheProgramIsTheProjectVersion)
{
    EXPECT_EQ(GetVersionString(), VORLANE_VERSION);
    EXPECT_FALSE(GetVersionString().empty());
}

TEST(QueryVersionValue, NeedsTheWholePathWithoutLeadingSeparator)
{
    const VersionResource resource{{Table("040904E4", "1.2")}};
    EXPECT_EQ(QueryVersionValue(resource, "StringFileInfo\\040904E4\\FileVersion"), "1.2");
    EXPECT_EQ(QueryVersionValue(resource, "\\StringFileInfo\\040904E4\\FileVersion"), std::nullopt);
    EXPECT_EQ(QueryVersionValue(resource, "StringFileInfo\\040904E4"), std::nullopt);
}

} // namespace
} // namespace vorlane
