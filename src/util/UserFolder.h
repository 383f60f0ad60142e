#pragma once

#include <filesystem>
#include <string_view>

namespace vorlane {

// A per-user base folder of the XDG specification: the folder the environment variable names
// when it holds an absolute path, otherwise the fallback below $HOME (for XDG_CACHE_HOME,
// ".cache").
std::filesystem::path UserFolder(const char* variable, std::string_view fallbackBelowHome);

} // namespace vorlane
