#include "support/TestEnvironment.h"

#include <cstdlib>
#include <string_view>

namespace vorlane::test {

void UseTemporaryHome(const std::filesystem::path& home)
{
    for (const char* variable :
         {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const auto folder = home / variable;
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        ::setenv(variable, (variable == std::string_view("HOME") ? home : folder).c_str(), 1);
    }
    // No system or session bus unless a test brings its own.
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (home / "no-system-bus").string()).c_str(),
             1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS",
             ("unix:path=" + (home / "no-session-bus").string()).c_str(), 1);
}

} // namespace vorlane::test
