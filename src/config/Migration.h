#pragma once

#include "config/RegistryKey.h"
#include "config/RegistryStore.h"

namespace vorlane {

// Takes the settings of the older product over: without a current settings key, the older key
// becomes it whole; otherwise only the older entries whose names the current key lacks are
// added. Either way the older key is gone afterwards. Nothing happens without an older key.
void MigrateOldSettings(RegistryKey& root);

// The same on the stored registry, as one change of the file; the file is not touched when
// there is no older key.
void MigrateOldSettings(RegistryStore& store);

} // namespace vorlane
