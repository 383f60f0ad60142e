// The real desktop on the offscreen platform: menu, windows, programs and pictures.
#include "app/QtDesktop.h"

#include "app/TrayImages.h"
#include "support/TempDir.h"
#include "ui/MessageForm.h"
#include "ui/gradbtn/GradBtn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

struct RecordingHandler : DesktopHandler
{
    void TrayRightButtonUp() override { events.push_back("right"); }
    void TrayDoubleClick() override { events.push_back("double"); }
    void PopupMenuPopup() override { events.push_back("popup"); }
    void MenuCommandClick(MenuCommand command) override { events.push_back(MenuCaption(command)); }
    void ChecknowMenuItemClick(int tag) override
    {
        events.push_back("check " + std::to_string(tag));
    }
    void NotificationActionInvoked(NotificationAction) override {}
    std::vector<std::string> events;
};

// The message window that is open now, waiting for it up to a few seconds.
TMessageForm* OpenWindow()
{
    for (int i = 0; i < 100; ++i) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TMessageForm*>(widget);
                form != nullptr && form->isVisible())
                return form;
        QTest::qWait(20);
    }
    return nullptr;
}

TEST(QtDesktop, DrawsTheMenuStateAndReportsItsCommands)
{
    QtDesktop desktop;
    RecordingHandler handler;
    desktop.SetHandler(&handler);
    PopupMenuState menu;
    menu[MenuCommand::Settings].enabled = false;
    menu[MenuCommand::StartMailClient].checked = true;
    menu[MenuCommand::StopWaving].isDefault = true;
    menu.checkNowEntries = {"Home", "Work"};
    menu.allIsDefault = true;
    desktop.UpdateMenu(menu);

    QStringList captions;
    for (QAction* action : desktop.Menu().actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions.join('|').toStdString(), "&About|-|&Settings|-|Check &now|Synchronize "
                                                "&time|Start &Mail client|Stop &Waving|-|E&xit");
    EXPECT_FALSE(desktop.Action(MenuCommand::Settings)->isEnabled());
    EXPECT_TRUE(desktop.Action(MenuCommand::StartMailClient)->isChecked());
    EXPECT_TRUE(desktop.Action(MenuCommand::StopWaving)->font().bold());
    EXPECT_FALSE(desktop.Action(MenuCommand::About)->font().bold());

    QMenu* submenu = desktop.Action(MenuCommand::Checknow)->menu();
    ASSERT_NE(submenu, nullptr);
    QStringList items;
    for (QAction* action : submenu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items.join('|').toStdString(), "&All|-|Home|Work");
    EXPECT_TRUE(submenu->actions()[0]->font().bold());

    submenu->actions()[3]->trigger();
    submenu->actions()[0]->trigger();
    desktop.Action(MenuCommand::Exit)->trigger();
    emit desktop.Menu().aboutToShow();
    emit desktop.Tray().activated(
        QSystemTrayIcon::Trigger); // the single click before a double click
    emit desktop.Tray().activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"check 1", "check -1", "E&xit", "right",
                                                        "popup", "double"}));

    menu.checkNowEntries.clear();
    desktop.UpdateMenu(menu);
    EXPECT_EQ(desktop.Action(MenuCommand::Checknow)->menu(), nullptr);
}

TEST(QtDesktop, AutoHidingWindowGoesAfterItsTimeOrAtOnceWithOk)
{
    QtDesktop desktop;
    const MailMessageList headers = {{"1", {"Ann", "Hi"}}, {"2", {"Bob", ""}}};

    QElapsedTimer clock;
    clock.start();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        TMessageForm* form = OpenWindow();
        ASSERT_NE(form, nullptr);
        seen = true;
        EXPECT_TRUE(form->HeadersListbox()->isVisible());
        EXPECT_EQ(form->CounterLabel()->text().toStdString(), "Message 2 of 2");
    });
    desktop.ShowNewMailMessage("2 new mail messages have arrived at 'Home'", &headers, true, 1);
    EXPECT_TRUE(seen);
    EXPECT_GE(clock.elapsed(), 1000) << "the window stays its whole time";
    EXPECT_EQ(OpenWindow(), nullptr);

    clock.restart();
    QTimer::singleShot(0, [] {
        TMessageForm* form = OpenWindow();
        ASSERT_NE(form, nullptr);
        QTest::qWait(100);
        form->OKGradBtn()->Click();
    });
    desktop.ShowNewMailMessage("A new mail message has arrived at 'Home'", nullptr, true, 30);
    EXPECT_LT(clock.elapsed(), 10000) << "OK ends the wait long before its time";
}

TEST(QtDesktop, ModalWindowWaitsForTheUser)
{
    QtDesktop desktop;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        TMessageForm* form = OpenWindow();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->MessageLabel()->text().toStdString(),
                  "A new mail message has arrived at 'Home'");
        closed = true;
        form->OKGradBtn()->Click();
    });
    desktop.ShowNewMailMessage("A new mail message has arrived at 'Home'", nullptr, false, 3);
    EXPECT_TRUE(closed);
}

TEST(QtDesktop, StartsTheMailProgramWithItsArgumentsSplitLikeAShell)
{
    const test::TempDir dir;
    const auto target = dir / "a file";
    QtDesktop desktop;
    desktop.StartProcess("/usr/bin/touch \"" + target.string() + "\"");
    desktop.StartProcess("");                              // nothing to start
    desktop.StartProcess("/no/such/mail-program --check"); // fails silently
    for (int i = 0; i < 100 && !std::filesystem::exists(target); ++i)
        QTest::qWait(20);
    EXPECT_TRUE(std::filesystem::exists(target));
}

TEST(QtDesktop, AMissingWaveFilePlaysNothing)
{
    QtDesktop desktop;
    desktop.PlayWaveFile("/no/such/file.wav");
    desktop.PlayWaveFile("");
    EXPECT_TRUE(desktop.MediaPlayer().source().isEmpty());
}

TEST(TrayImages, ElevenDistinctPicturesAtEverySize)
{
    for (const int size : {16, 22, 24, 32}) {
        std::vector<QImage> images;
        for (int index = 0; index < kTrayImageCount; ++index) {
            const QImage image = TrayImage(index, size);
            EXPECT_EQ(image.size(), QSize(size, size));
            EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "transparent corner, picture " << index;
            for (const auto& other : images)
                EXPECT_NE(image, other) << "picture " << index << " at " << size;
            images.push_back(image);
        }
        // The grey envelope has no colour; the polling one carries its red stamp.
        bool coloured = false;
        bool red = false;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor grey = images[0].pixelColor(x, y);
                coloured |= grey.alpha() > 0 && grey.saturation() > 40;
                const QColor c = images[1].pixelColor(x, y);
                red |= c.alpha() == 255 && c.red() > 180 && c.green() < 60 && c.blue() < 60;
            }
        EXPECT_FALSE(coloured) << size;
        EXPECT_TRUE(red) << size;
    }
    EXPECT_EQ(TrayImage(2, 16, 2.0).size(), QSize(32, 32)) << "drawn for high-density screens";
    EXPECT_FALSE(TrayIcon(0).availableSizes().isEmpty());
}

} // namespace
} // namespace vorlane
