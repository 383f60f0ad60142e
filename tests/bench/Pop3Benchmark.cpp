// Prints how long one poll of a Dovecot mailbox of 1000 messages with headers takes, next to
// Python's poplib doing the same commands against the same server. Run as root:
//   build/tests/bench/pop3_benchmark
#include "app/ProtocolForm.h"
#include "app/RecordingDesktop.h"
#include "config/SettingsStore.h"
#include "servers/Dovecot.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"
#include "timesync/RecordingClockSetter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace vorlane;
    constexpr int kMessages = 1000;
    const test::TempDir home("bench-home");
    test::UseTemporaryHome(home.Path());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);

    std::string why;
    if (!test::Dovecot::Available(why)) {
        std::fprintf(stderr, "cannot run: %s\n", why.c_str());
        return 1;
    }
    test::Dovecot server;
    server.AddUser("joe", "secret");
    for (int i = 1; i <= kMessages; ++i)
        server.AddMessage("joe", "Sender " + std::to_string(i) + " <s@example.org>",
                          "Subject " + std::to_string(i));
    server.Start();

    const test::TempDir dir("bench");
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    Settings settings;
    settings.DisplayHeaders = true;
    settings.ConnectionTimeout = 600;
    WriteSettings(store, settings, {{"Bench", "joe", "127.0.0.1", "10", "secret"}});
    test::RecordingDesktop desktop;
    test::RecordingClockSetter clockSetter;
    TProtocolForm controller(
        {store, desktop, clockSetter, (dir / "Vorlane.log").string(), server.Port()});
    controller.FormCreate(); // the first poll also warms Dovecot's index

    QElapsedTimer clock;
    clock.start();
    controller.ChecknowMenuItemClick(-1);
    const double vorlaneSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (controller.MailMessages().size() != kMessages || !desktop.messages.empty()) {
        std::fprintf(stderr, "the poll did not fetch every header\n");
        return 1;
    }

    const QString script = QStringLiteral("import poplib, time\n"
                                          "t = time.monotonic()\n"
                                          "p = poplib.POP3('127.0.0.1', %1)\n"
                                          "p.user('joe'); p.pass_('secret')\n"
                                          "count, size = p.stat()\n"
                                          "for i in range(1, count + 1): p.top(i, 0)\n"
                                          "p.quit()\n"
                                          "print(time.monotonic() - t)\n")
                               .arg(server.Port());
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script});
    python.waitForFinished(120000);
    const double poplibSeconds = python.readAllStandardOutput().trimmed().toDouble();

    std::printf("poll of %d messages with headers (USER, PASS, STAT, TOP 1..%d 0, QUIT)\n",
                kMessages, kMessages);
    std::printf("  vorlane: %.3f s\n", vorlaneSeconds);
    std::printf("  poplib:  %.3f s\n", poplibSeconds);
    return 0;
}
