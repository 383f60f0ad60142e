// Desktops without a notification area, on an X server of the test's own: the program waits for
// a tray to appear, and tells the user once when none comes.
#include "app/QtDesktop.h"
#include "servers/XDesktop.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"
#include "ui/MessageForm.h"
#include "ui/gradbtn/GradBtn.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

test::XDesktop* desktopUnderTest = nullptr;

// The user reading a message window that opens: its text is kept and OK is pressed. Polls
// without blocking, since the window may open inside the event loop of the one waiting.
class Reader
{
public:
    Reader()
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* form = qobject_cast<TMessageForm*>(widget);
                    form != nullptr && form->isVisible()) {
                    texts.push_back(form->MessageLabel()->text().toStdString());
                    form->OKGradBtn()->Click();
                }
        });
        poll_.start(50);
    }
    std::vector<std::string> texts;

private:
    QTimer poll_;
};

TEST(TrayHost, WithoutATrayTheUserIsToldOnceAndMailIsStillAnnounced)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QtDesktop desktop;
    Reader user;
    PopupMenuState menu;
    menu.mailboxesSetUp = true;
    desktop.UpdateMenu(menu);
    desktop.AddTrayIcon(0, "No new mail");
    QTest::qWait(QtDesktop::kTrayWaitMilliseconds + 1000);
    EXPECT_TRUE(desktop.NoTrayNoticeShown());
    ASSERT_EQ(user.texts, std::vector<std::string>{QtDesktop::NoTrayNotice(true)});
    EXPECT_NE(user.texts[0].find("AppIndicator"), std::string::npos);
    EXPECT_NE(QtDesktop::NoTrayNotice(true).find("goes on checking your mail"), std::string::npos);
    EXPECT_EQ(QtDesktop::NoTrayNotice(false).find("goes on checking your mail"), std::string::npos)
        << "without a mailbox it checks nothing";
    EXPECT_FALSE(desktop.Tray().isVisible());

    desktop.ShowNewMailMessage("A new mail message has arrived at 'Home'", nullptr, false, 0);
    EXPECT_EQ(user.texts.back(), "A new mail message has arrived at 'Home'");
}

TEST(TrayHost, ATrayThatStartsLaterGetsTheIconAndNoNotice)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QtDesktop desktop(20000);
    desktop.AddTrayIcon(2, "You have 1 new mail message");
    QTest::qWait(1500);
    ASSERT_TRUE(desktopUnderTest->StartTrayer());
    for (int i = 0; i < 200 && !desktop.Tray().isVisible(); ++i)
        QTest::qWait(50);
    EXPECT_TRUE(desktop.Tray().isVisible());
    EXPECT_FALSE(desktop.NoTrayNoticeShown());
    QTest::qWait(500);
    const auto panel = desktopUnderTest->Windows("-name panel -tree");
    EXPECT_NE(panel.find("(\"tray_host_tests\" "), std::string::npos) << panel;
}

} // namespace
} // namespace vorlane

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const vorlane::test::TempDir home("home");
    vorlane::test::UseTemporaryHome(home.Path());
    std::string why;
    if (!vorlane::test::XDesktop::Available(why)) {
        std::printf("skipped: %s\n", why.c_str());
        testing::GTEST_FLAG(filter) = "-*";
        return RUN_ALL_TESTS();
    }
    vorlane::test::XDesktop desktop;
    vorlane::desktopUnderTest = &desktop;
    ::setenv("DISPLAY", desktop.Display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
