#include "timesync/TimeServerAddress.h"

#include <algorithm>

namespace vorlane {

bool IsTimeServerAddress(std::string_view timeServer)
{
    const bool digitsAndStops = std::all_of(timeServer.begin(), timeServer.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.';
    });
    return digitsAndStops && std::count(timeServer.begin(), timeServer.end(), '.') == 4;
}

} // namespace vorlane
