#pragma once

#include "config/PasswordStore.h"
#include "config/RegistryStore.h"

#include <filesystem>
#include <iosfwd>
#include <string>

namespace vorlane {

// `vorlane --check`: every mailbox polled once, without any window or tray, for scripts and
// status bars. One line a mailbox (name, count, size, new or not, the error) or, with json, one
// JSON array. New mail is judged as the program judges it, against the previous check, which
// is kept in lastCheckFile. Returns the exit code: 0 no new mail, 1 new mail, 2 a check failed.
struct HeadlessCheck
{
    RegistryStore& store;
    std::string logFileName;
    std::filesystem::path lastCheckFile;
    int mailPort = 110;                  // tests use others
    PasswordStore* passwords = nullptr; // where entries marked so keep their passwords

    // $XDG_STATE_HOME/Vorlane/last-check.reg, default ~/.local/state/Vorlane/last-check.reg.
    static std::filesystem::path DefaultLastCheckFile();

    int Run(bool json, std::ostream& out);
};

} // namespace vorlane
