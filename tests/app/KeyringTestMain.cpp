// The main of the keyring tests: the program first starts itself again on a private session bus
// of its own (dbus-run-session with the tests' bus configuration, which starts no service by
// itself), so that no test can reach the real user's keyring and a test decides whether a Secret
// Service is there. Otherwise like every test's main.
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    if (std::getenv("VORLANE_PRIVATE_SESSION_BUS") == nullptr) {
        std::string config =
            std::string("--config-file=") + VORLANE_TEST_SERVERS + "/private-session.conf";
        std::vector<char*> arguments = {const_cast<char*>("dbus-run-session"), config.data(),
                                        const_cast<char*>("--"), const_cast<char*>("env"),
                                        const_cast<char*>("VORLANE_PRIVATE_SESSION_BUS=1")};
        arguments.insert(arguments.end(), argv, argv + argc);
        arguments.push_back(nullptr);
        ::execvp(arguments[0], arguments.data());
        // No dbus-run-session: the tests that need the bus skip.
    }
    testing::InitGoogleTest(&argc, argv);
    const vorlane::test::TempDir home("home");
    // The private session bus stays: it is the one this program started itself on.
    const char* privateBus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string sessionBus = privateBus != nullptr ? privateBus : "";
    vorlane::test::UseTemporaryHome(home.Path());
    if (!sessionBus.empty())
        ::setenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
