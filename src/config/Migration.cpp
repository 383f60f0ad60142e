#include "config/Migration.h"

#include "config/SettingsStore.h"

#include <string>

namespace vorlane {

void MigrateOldSettings(RegistryKey& root)
{
    const auto* older = root.OpenKey(kOlderSettingsKey);
    if (older == nullptr)
        return;
    const auto entries = older->SubkeyNames();
    MoveKey(root, kOlderSettingsKey, kSettingsKey);
    if (root.OpenKey(kOlderSettingsKey) == nullptr)
        return;
    for (const auto& name : entries)
        MoveKey(root, std::string(kOlderSettingsKey) + "\\" + name,
                std::string(kSettingsKey) + "\\" + name);
    root.DeleteKey(kOlderSettingsKey);
}

void MigrateOldSettings(RegistryStore& store)
{
    if (store.Read().OpenKey(kOlderSettingsKey) == nullptr)
        return;
    store.Modify([](RegistryKey& root) { MigrateOldSettings(root); });
}

} // namespace vorlane
