#pragma once

#include "net/RasBinding.h"

#include <string_view>
#include <vector>

namespace vorlane {

// Whether the name is one of the chosen connections: the "|"-separated fields of rasConnection,
// compared exactly, letter case included. A text without any "|" names nothing.
bool IsSelectedRasEntry(std::string_view rasConnection, std::string_view name);

// Work may proceed when the first active connection whose name is chosen is up (activated).
// Only that first one decides, even when it is still connecting and a later one is up.
bool FirstSelectedConnectionIsUp(const std::vector<RasConnectionInfo>& active,
                                 std::string_view rasConnection);

} // namespace vorlane
