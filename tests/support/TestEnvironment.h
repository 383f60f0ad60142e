#pragma once

#include <filesystem>

namespace vorlane::test {

// Points HOME, the XDG folders and the system and session buses into the folder, so that no
// test touches the real user's files, the machine's NetworkManager or the user's desktop.
void UseTemporaryHome(const std::filesystem::path& home);

} // namespace vorlane::test
