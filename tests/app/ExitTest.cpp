// "E&xit" while a pass waits: the pass runs to its end, every window it shows from then on
// closes at once, then the program ends. A program of its own: the exit cannot be taken back.
#include "app/ControllerFixture.h"
#include "app/QtDesktop.h"
#include "servers/ScriptedServer.h"
#include "timesync/RecordingClockSetter.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ScriptedServer;

// The real message window, counting how often it opened.
class CountingDesktop : public QtDesktop
{
public:
    void ShowMessage(const std::string& text) override
    {
        ++requested;
        QtDesktop::ShowMessage(text);
    }
    int requested = 0;
};

TEST(Exit, AWaitingPassRunsToItsEndWithoutWindowsThenTheProgramEnds)
{
    ScriptedServer silent([](ScriptedServer::Connection&, const std::string&) {});
    test::TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    auto settings = test::ControllerFixture::LoggingSettings(1);
    WriteSettings(store, settings,
                  {{"A", "", "127.0.0.1", "10", ""}, {"B", "", "127.0.0.1", "10", ""}});
    CountingDesktop desktop;
    test::RecordingClockSetter clock;
    TProtocolForm controller(
        {store, desktop, clock, (dir / "Vorlane.log").string(), silent.Port()});
    {
        // The first pass: two time-outs; the user closes both reports.
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [] {
            if (QWidget* window = QApplication::activeModalWidget())
                window->close();
        });
        user.start(50);
        controller.FormCreate();
    }
    ASSERT_EQ(desktop.requested, 2);
    desktop.requested = 0;

    // While the first report is open, the user chooses Exit; the window closes and the pass
    // goes on to the second entry, whose report does not open at all.
    bool windowWasOpen = false;
    QTimer::singleShot(0, [&] { controller.ChecknowMenuItemClick(-1); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != nullptr && !controller.ExitRequested()) {
            windowWasOpen = true;
            controller.ExitMenuItemClick();
        }
    });
    poll.start(50);
    const int code = QApplication::exec();

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(windowWasOpen);
    EXPECT_EQ(desktop.requested, 2) << "both entries were polled and reported";
    EXPECT_EQ(silent.Connections(), 4);
    EXPECT_TRUE(controller.MailServers()[0].Failed && controller.MailServers()[1].Failed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace vorlane
