#include "net/ConnectionGate.h"

#include "util/Fields.h"

#include <algorithm>

namespace vorlane {

bool IsSelectedRasEntry(std::string_view rasConnection, std::string_view name)
{
    const int fields = CountFields(rasConnection, '|');
    for (int k = 1; k <= fields; ++k)
        if (ExtractField(rasConnection, k, '|') == name)
            return true;
    return false;
}

bool FirstSelectedConnectionIsUp(const std::vector<RasConnectionInfo>& active,
                                 std::string_view rasConnection)
{
    const auto first =
        std::find_if(active.begin(), active.end(), [&](const RasConnectionInfo& connection) {
            return IsSelectedRasEntry(rasConnection, connection.Name);
        });
    return first != active.end() && first->State == RasBinding::kActivated;
}

} // namespace vorlane
