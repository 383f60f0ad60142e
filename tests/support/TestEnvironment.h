#pragma once

#include <filesystem>

namespace vorlane::test {

// Points HOME, the XDG folders and the system bus into the folder, so that no test touches the
// real user's files or the machine's NetworkManager.
void UseTemporaryHome(const std::filesystem::path& home);

} // namespace vorlane::test
