#include "ui/SettingsRules.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(SettingsRules, NumberFieldsKeepWholeNumbersAboveZeroOnLeaving)
{
    const struct
    {
        const char* text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"45", 45},  {"45000", 45000}, {"1", 1},    {"0", {}},     {"-5", {}},
        {"abc", {}}, {"", {}},         {"4.5", {}}, {"12abc", {}}, {"99999999999", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumberAboveZero(c.text), c.expected) << c.text;
}

TEST(SettingsRules, EnteringTheIntervalTakesAnyWholeNumberElseTen)
{
    EXPECT_EQ(AcceptedIntervalOnEntering("25"), 25);
    EXPECT_EQ(AcceptedIntervalOnEntering("0"), 0);
    EXPECT_EQ(AcceptedIntervalOnEntering("-3"), -3);
    EXPECT_EQ(AcceptedIntervalOnEntering("abc"), 10);
    EXPECT_EQ(AcceptedIntervalOnEntering(""), 10);
}

TEST(SettingsRules, AnEntryIsCompleteWithNameUserAndServerBlanksCounting)
{
    EXPECT_TRUE(EntryComplete("Home", "ann", "pop.example.org"));
    EXPECT_TRUE(EntryComplete(" ", " ", " "));
    EXPECT_FALSE(EntryComplete("", "ann", "pop.example.org"));
    EXPECT_FALSE(EntryComplete("Home", "", "pop.example.org"));
    EXPECT_FALSE(EntryComplete("Home", "ann", ""));
}

TEST(SettingsRules, AutoHideTimeShowsTheStoredNumberOrThree)
{
    const struct
    {
        std::int32_t stored;
        int shown;
    } cases[] = {{1, 1},  {3, 3}, {10, 10}, {15, 15}, {30, 30},
                 {11, 3}, {0, 3}, {-1, 3},  {31, 3},  {16, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(kAutoHideTimes[static_cast<std::size_t>(AutoHideTimeIndex(c.stored))], c.shown)
            << c.stored;
}

TEST(SettingsRules, NewEntryNamesAreTrimmedAndChecked)
{
    EXPECT_EQ(TrimBlanks("  Home \t"), "Home");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("My  box"), "My  box");

    const std::vector<std::string> existing = {"HOME", "Office"};
    const struct
    {
        const char* name;
        EntryNameProblem expected;
    } cases[] = {
        {"home2", EntryNameProblem::None},       {"Home", EntryNameProblem::Duplicate},
        {"oFFICE", EntryNameProblem::Duplicate}, {"", EntryNameProblem::Empty},
        {"a\\b", EntryNameProblem::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckNewEntryName(c.name, existing), c.expected) << c.name;
}

TEST(SettingsRules, IntervalsShowAtLeastOneAndTenWhenAbsent)
{
    EXPECT_EQ(IntervalShown(std::nullopt), "10");
    EXPECT_EQ(IntervalShown(0), "1");
    EXPECT_EQ(IntervalShown(-7), "1");
    EXPECT_EQ(IntervalShown(45000), "45000");
}

TEST(SettingsRules, RasConnectionTicksRowsByFieldWithoutLetterCase)
{
    const std::vector<std::string> rows = {"Office", "Home", "Spare"};
    const struct
    {
        const char* stored;
        std::vector<bool> ticks;
    } cases[] = {
        {"|Office|Home", {true, true, false}}, {"|home", {false, true, false}},
        {"Office", {false, false, false}}, // no "|": no fields
        {"", {false, false, false}},           {"|Elsewhere|SPARE", {false, false, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RasConnectionTicks(c.stored, rows), c.ticks) << c.stored;
}

TEST(SettingsRules, SelectedRasConnectionsPutsABarBeforeEachTickedRow)
{
    const std::vector<std::string> rows = {"Office", "Home", "Spare"};
    EXPECT_EQ(SelectedRasConnections(rows, {true, false, true}), "|Office|Spare");
    EXPECT_EQ(SelectedRasConnections(rows, {false, false, false}), "");
    // Read back, the text ticks the same rows.
    EXPECT_EQ(RasConnectionTicks(SelectedRasConnections(rows, {false, true, true}), rows),
              (std::vector<bool>{false, true, true}));
}

TEST(SettingsRules, TimeServerRuleNeedsAServerOnlyWhenSynchronizing)
{
    EXPECT_TRUE(TimeServerRuleBroken(true, ""));
    EXPECT_FALSE(TimeServerRuleBroken(true, "time.nist.gov"));
    EXPECT_FALSE(TimeServerRuleBroken(false, ""));
}

TEST(SettingsRules, FileFiltersBecomeNameFilters)
{
    EXPECT_EQ(NameFilters("Wave files|*.wav|All Files|*.*"),
              (std::vector<std::string>{"Wave files (*.wav)", "All Files (*)"}));
    EXPECT_EQ(NameFilters(""), std::vector<std::string>{});
}

TEST(SettingsRules, SecurityAndPortRules)
{
    EXPECT_EQ(SecurityShown(std::nullopt), 0);
    for (const auto& [stored, shown] :
         {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 1}, {-1, 1}, {1000, 1}})
        EXPECT_EQ(SecurityShown(stored), shown) << stored;

    const struct
    {
        const char* text;
        std::optional<int> port;
    } ports[] = {{"1", 1},      {"110", 110}, {"65535", 65535}, {" 995", 995}, {"0", {}},
                 {"65536", {}}, {"-110", {}}, {"", {}},         {"11O", {}},   {"4294967406", {}}};
    for (const auto& c : ports)
        EXPECT_EQ(ParsePort(c.text), c.port) << c.text;

    // Shown and stored: 0 and what is no port number mean the usual port, which is not kept.
    const struct
    {
        int security, stored, shown, kept;
    } entries[] = {{0, 0, 110, 0},     {1, 0, 110, 0},     {2, 0, 995, 0},
                   {2, 995, 995, 0},   {0, 995, 995, 995}, {2, 110, 110, 110},
                   {1, 70000, 110, 0}, {0, -5, 110, 0},    {1, 2110, 2110, 2110}};
    for (const auto& c : entries) {
        EXPECT_EQ(PortShown(c.security, c.stored), c.shown) << c.security << "/" << c.stored;
        EXPECT_EQ(PortStored(c.security, c.stored), c.kept) << c.security << "/" << c.stored;
    }

    EXPECT_TRUE(PortFollowsSecurity("110", 0));
    EXPECT_TRUE(PortFollowsSecurity("110", 1));
    EXPECT_TRUE(PortFollowsSecurity("995", 2));
    EXPECT_TRUE(PortFollowsSecurity("", 2));
    EXPECT_TRUE(PortFollowsSecurity("  ", 0));
    EXPECT_FALSE(PortFollowsSecurity("995", 0));
    EXPECT_FALSE(PortFollowsSecurity("110", 2));
    EXPECT_FALSE(PortFollowsSecurity("2110", 1));
    EXPECT_FALSE(PortFollowsSecurity("pop", 0)) << "text the user typed is his";

    EXPECT_STREQ(SecurityColumnText(0), "None");
    EXPECT_STREQ(SecurityColumnText(1), "STLS");
    EXPECT_STREQ(SecurityColumnText(2), "TLS");
}

} // namespace
} // namespace vorlane
