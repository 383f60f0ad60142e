#include "config/Migration.h"

#include "config/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::string kOld = "SOFTWARE\\Mirvo\\Garbelund";
const std::string kNew = "SOFTWARE\\Mirvo\\Vorlane";

void AddEntry(RegistryKey& root, const std::string& key, const std::string& name,
              const std::string& server)
{
    root.CreateKey(key + "\\" + name).SetValue("Server", StringValue(server));
}

TEST(MigrateOldSettings, CoversEveryOutcome)
{
    struct Case
    {
        const char* name;
        std::function<void(RegistryKey&)> before;
        std::function<void(RegistryKey&)> after;
    };
    const Case cases[] = {
        {"no older key: nothing changes",
         [](RegistryKey& root) { root.CreateKey(kNew).SetValue("LogToFile", BooleanValue(true)); },
         [](RegistryKey& root) { root.CreateKey(kNew).SetValue("LogToFile", BooleanValue(true)); }},
        {"older key alone: it becomes the settings key",
         [](RegistryKey& root) {
             auto& old = root.CreateKey(kOld);
             old.SetValue("LogToFile", BooleanValue(true));
             old.SetValue("WaveFile", {REG_EXPAND_SZ, "%HOME%/ding.wav"});
             old.SetValue("LastSynchronizedAt", DateTimeValue(45000.25));
             AddEntry(root, kOld, "A", "pop.a");
             AddEntry(root, kOld, "B", "pop.b");
             root.CreateKey("SOFTWARE\\Mirvo");
         },
         [](RegistryKey& root) {
             auto& now = root.CreateKey(kNew);
             now.SetValue("LogToFile", BooleanValue(true));
             now.SetValue("WaveFile", {REG_EXPAND_SZ, "%HOME%/ding.wav"});
             now.SetValue("LastSynchronizedAt", DateTimeValue(45000.25));
             AddEntry(root, kNew, "A", "pop.a");
             AddEntry(root, kNew, "B", "pop.b");
         }},
        {"both keys: only entries with new names come over",
         [](RegistryKey& root) {
             root.CreateKey(kOld).SetValue("LogToFile", BooleanValue(true));
             AddEntry(root, kOld, "A", "old a");
             AddEntry(root, kOld, "b", "old b");
             root.CreateKey(kNew).SetValue("SystemBeep", BooleanValue(false));
             AddEntry(root, kNew, "B", "own b");
             AddEntry(root, kNew, "C", "own c");
         },
         [](RegistryKey& root) {
             root.CreateKey(kNew).SetValue("SystemBeep", BooleanValue(false));
             AddEntry(root, kNew, "A", "old a");
             AddEntry(root, kNew, "B", "own b");
             AddEntry(root, kNew, "C", "own c");
         }},
        {"empty older key alone: an empty settings key",
         [](RegistryKey& root) { root.CreateKey(kOld); },
         [](RegistryKey& root) { root.CreateKey(kNew); }},
    };
    for (const auto& c : cases) {
        RegistryKey root("HKEY_CURRENT_USER");
        c.before(root);
        RegistryKey expected("HKEY_CURRENT_USER");
        c.after(expected);
        MigrateOldSettings(root);
        EXPECT_EQ(root, expected) << c.name;
        MigrateOldSettings(root); // a second start changes nothing
        EXPECT_EQ(root, expected) << c.name << ", second start";
    }
}

TEST(MigrateOldSettings, OnTheStoreLeavesTheFileAloneWithoutOlderKey)
{
    const test::TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    MigrateOldSettings(store);
    EXPECT_FALSE(std::filesystem::exists(store.Path()));

    store.Modify([](RegistryKey& root) { AddEntry(root, kOld, "Home", "pop.home"); });
    MigrateOldSettings(store);
    const auto root = store.Read();
    EXPECT_EQ(root.OpenKey(kOld), nullptr);
    std::vector<TMailServer> servers;
    Settings settings;
    EXPECT_TRUE(LoadSettings(root, settings, servers, {}));
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].Host, "pop.home");
}

} // namespace
} // namespace vorlane
