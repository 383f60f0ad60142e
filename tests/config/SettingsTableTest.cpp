// Stored values of the wrong kind: told with their place, taking their defaults, losing nothing.
#include "config/SettingsTable.h"

#include "config/RegFile.h"
#include "config/RegistryValue.h"
#include "config/SettingsStore.h"
#include "mail/MailServer.h"

#include <functional>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

RegistryKey WithSettings(const std::function<void(RegistryKey&)>& fill)
{
    RegistryKey root("HKEY_CURRENT_USER");
    fill(root.CreateKey("SOFTWARE\\Mirvo\\Vorlane"));
    return root;
}

TEST(LoadSettings, AValueOfTheWrongKindIsToldAndTakesItsDefault)
{
    struct Case
    {
        const char* name;
        std::function<void(RegistryKey&)> stored;
        const char* problem;
        std::function<void(const Settings&, const std::vector<TMailServer>&)> check;
    };
    const Case cases[] = {
        {"string where a boolean belongs",
         [](RegistryKey& k) {
             k.SetValue("SystemBeep", StringValue("no"));
             k.SetValue("PlaySound", BooleanValue(true));
         },
         "Invalid data type for 'SystemBeep'",
         [](const Settings& s, const std::vector<TMailServer>&) {
             EXPECT_TRUE(s.SystemBeep) << "its default";
             EXPECT_TRUE(s.PlaySound) << "read after it";
         }},
        {"integer of eight bytes",
         [](RegistryKey& k) {
             k.SetValue("AutoHideTime", {REG_DWORD, std::string(8, '\1')});
         },
         "Failed to get data for 'AutoHideTime'",
         [](const Settings& s, const std::vector<TMailServer>&) { EXPECT_EQ(s.AutoHideTime, 3); }},
        {"time server of the wrong kind",
         [](RegistryKey& k) {
             k.SetValue("SyncronizeTime", BooleanValue(true));
             k.SetValue("TimeServer", IntegerValue(7));
         },
         "Invalid data type for 'TimeServer'",
         [](const Settings& s, const std::vector<TMailServer>&) {
             EXPECT_FALSE(s.SyncronizeTime) << "nothing to synchronize with";
         }},
        {"broken second entry",
         [](RegistryKey& k) {
             k.CreateKey("A").SetValue("Server", StringValue("pop.a"));
             k.CreateKey("B").SetValue("Interval", StringValue("5"));
             k.CreateKey("C").SetValue("Server", StringValue("pop.c"));
         },
         "Invalid data type for 'Interval'",
         [](const Settings&, const std::vector<TMailServer>& servers) {
             ASSERT_EQ(servers.size(), 3u) << "no entry is lost";
             EXPECT_EQ(servers[1].Interval, 10);
             EXPECT_EQ(servers[2].Host, "pop.c");
         }},
        {"security of the wrong kind",
         [](RegistryKey& k) { k.CreateKey("A").SetValue("Security", StringValue("none")); },
         "Invalid data type for 'Security'",
         [](const Settings&, const std::vector<TMailServer>& servers) {
             ASSERT_EQ(servers.size(), 1u);
             EXPECT_EQ(servers[0].Security, kSecuritySTLS) << "never plain text";
         }},
    };
    for (const auto& c : cases) {
        Settings settings;
        std::vector<TMailServer> servers;
        std::vector<std::string> problems;
        LoadSettingsHooks hooks{
            {}, {}, [&](const RegistryError& error) { problems.push_back(error.what()); }};
        EXPECT_TRUE(LoadSettings(WithSettings(c.stored), settings, servers, hooks)) << c.name;
        EXPECT_EQ(problems, std::vector<std::string>{c.problem}) << c.name;
        c.check(settings, servers);
    }
}

TEST(LoadSettings, AProblemNamesTheValueTheFileAndTheLine)
{
    const auto root =
        ParseRegFile("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
                     "\"LogToFile\"=dword:00000001\r\n\"AutoHideTime\"=\"3\"\r\n",
                     "/home/ann/.config/Vorlane/registry.reg");
    Settings settings;
    std::vector<TMailServer> servers;
    std::vector<std::string> problems;
    LoadSettingsHooks hooks{{}, {}, [&](const RegistryError& error) {
                                problems.push_back(DescribeSettingsProblem(
                                    error, "/home/ann/.config/Vorlane/registry.reg"));
                            }};
    LoadSettings(root, settings, servers, hooks);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "Invalid data type for 'AutoHideTime' "
                           "(/home/ann/.config/Vorlane/registry.reg, line 5)");
    EXPECT_EQ(UnreadableValuesMessage(problems),
              "Vorlane cannot use some of its stored settings:\r\n" + problems[0] +
                  "\r\nThey keep their defaults until you store new ones with OK in the "
                  "settings.");
}

} // namespace
} // namespace vorlane
