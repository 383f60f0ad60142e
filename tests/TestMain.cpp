// The main of every test program. Tests never touch the real user's files: HOME and the XDG
// folders point into a temporary folder for the whole run. Programs built with
// VORLANE_TEST_WITH_QT get a QApplication on the offscreen platform (unless QT_QPA_PLATFORM
// names another, as the tray tests under Xvfb do).
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

#ifdef VORLANE_TEST_WITH_QT
#include <QApplication>
#endif

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
    // No system bus unless a test brings its own: nothing reaches the machine's NetworkManager.
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS",
             ("unix:path=" + (home.Path() / "no-system-bus").string()).c_str(), 1);
#ifdef VORLANE_TEST_WITH_QT
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
