// The main of every test program. Tests never touch the real user's files: HOME and the XDG
// folders point into a temporary folder for the whole run.
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const vorlane::test::TempDir home("home");
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const auto folder = home.Path() / variable;
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        ::setenv(variable, (variable == std::string_view("HOME") ? home.Path() : folder).c_str(),
                 1);
    }
    return RUN_ALL_TESTS();
}
