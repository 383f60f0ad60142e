#include "util/UserFolder.h"

#include <cstdlib>

namespace vorlane {

std::filesystem::path UserFolder(const char* variable, std::string_view fallbackBelowHome)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && *value == '/')
        return value;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / fallbackBelowHome;
}

} // namespace vorlane
