// Prints how soon a message delivered into a watched Dovecot folder is announced: 20 deliveries,
// one after the other, each timed from the moment its file lands in the Maildir until the
// program shows its new-mail message; the entry's interval is ten minutes, so only the server's
// word through IDLE can be that quick. It prints; it asserts nothing. Run as root:
//   build/tests/bench/imap_idle_benchmark
#include "BenchmarkRun.h"
#include "servers/Dovecot.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace vorlane;

constexpr int kDeliveries = 20;

} // namespace

int main(int argc, char** argv)
{
    const test::BenchmarkRun run(argc, argv);

    if (!test::CanRunDovecot())
        return 1;
    test::Dovecot server;
    server.AddUser("joe", "secret");
    server.Start();

    MailServerRow row{"Cloud", "joe", "127.0.0.1", "10", "secret"};
    row.Protocol = MailProtocol::Imap;
    row.Port = server.ImapPort();
    Settings settings;
    settings.DisplayMessage = true; // the announcement that is timed
    test::BenchmarkController bench(settings, {row}, 0);
    auto& controller = *bench.controller;
    auto& desktop = bench.desktop;
    controller.FormCreate();

    std::vector<double> delays;
    int missed = 0;
    for (int i = 1; i <= kDeliveries; ++i) {
        if (!QTest::qWaitFor([&] { return controller.WatchingFolderOf("Cloud"); }, 30000)) {
            std::fprintf(stderr, "the folder is not watched\n");
            return 1;
        }
        const auto before = desktop.newMail.size();
        QElapsedTimer clock;
        clock.start();
        server.AddMessage("joe", "Sender <s@example.org>", "Delivery " + std::to_string(i));
        if (!QTest::qWaitFor([&] { return desktop.newMail.size() > before; }, 20000)) {
            ++missed;
            continue;
        }
        delays.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("IMAP IDLE (Dovecot, loopback): %d deliveries into the watched folder, each\n"
                "timed from the file landing in the Maildir to the new-mail message.\n",
                kDeliveries);
    if (!delays.empty())
        std::printf("announced %zu, missed %d; median %.0f ms, best %.0f ms, worst %.0f ms\n",
                    delays.size(), missed, delays[delays.size() / 2], delays.front(),
                    delays.back());
    else
        std::printf("announced none of them\n");
    return missed == 0 ? 0 : 1;
}
