// The main of every test program. Tests never touch the real user's files: HOME and the XDG
// folders point into a temporary folder for the whole run. Programs built with
// VORLANE_TEST_WITH_QT get a QApplication on the offscreen platform (unless QT_QPA_PLATFORM
// names another, as the tray tests under Xvfb do).
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <cstdlib>
#include <gtest/gtest.h>

#ifdef VORLANE_TEST_WITH_QT
#include <QApplication>
#include <QFont>
#endif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const vorlane::test::TempDir home("home");
    vorlane::test::UseTemporaryHome(home.Path());
#ifdef VORLANE_TEST_WITH_QT
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    // The windows' design font: their layout is then exactly the designed one, on any machine.
    QApplication::setFont(QFont("DejaVu Sans", 8));
#endif
    return RUN_ALL_TESTS();
}
