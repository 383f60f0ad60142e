// Prints how long polls with headers of a Dovecot mailbox of 2000 messages take: the first poll
// (nothing cached) and a repeat poll after one new message arrived, with the header requests
// and bytes each puts on the wire; next to Python's poplib doing the work naively (every header
// at every poll, one request at a time). Once on plain loopback and once behind a link that adds
// 35 ms to every reply. It prints; it asserts nothing. Run as root:
//   build/tests/bench/pop3_benchmark
#include "BenchmarkRun.h"
#include "servers/DelayingProxy.h"
#include "servers/Dovecot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace vorlane;

constexpr int kMessages = 2000;
constexpr int kTimeoutSeconds = 60; // the default ConnectionTimeout

struct Row
{
    const char* client;
    const char* poll;
    double seconds;
    bool complete;
    test::DelayingProxy::Traffic traffic;
};

long TopRequests(const test::DelayingProxy::Traffic& traffic)
{
    return std::count_if(traffic.commands.begin(), traffic.commands.end(),
                         [](const std::string& command) { return command.starts_with("TOP "); });
}

// Senders and subjects as mail programs write them: plain, and encoded in several charsets.
void Fill(test::Dovecot& server, const std::string& user)
{
    for (int i = 1; i <= kMessages; ++i) {
        const auto n = std::to_string(i);
        switch (i % 5) {
        case 0:
            server.AddMessage(user, "=?UTF-8?Q?J=C3=BCrgen_" + n + "?= <j@example.org>",
                              "=?UTF-8?B?R3LDvMOfZSBhdXMgS8O2bG4=?= " + n);
            break;
        case 1:
            server.AddMessage(user, "=?KOI8-R?B?8NLJ18XU?= <ivan@example.org>",
                              "=?ISO-8859-15?Q?Preis_=A4_" + n + "?=");
            break;
        case 2:
            server.AddMessage(user, "=?windows-1252?Q?=93Quotes=94?= <q@example.org>",
                              "=?ISO-8859-1?Q?Caf=E9?=\r\n =?ISO-8859-1?Q?_" + n + "?=");
            break;
        default:
            server.AddMessage(user, "Sender " + n + " <s@example.org>", "Subject " + n);
        }
    }
}

// Python's poplib as a naive client uses it: every header, one TOP after the other (or only
// STAT, to have Dovecot index the mailbox before anything is measured).
double Poplib(int port, const std::string& user, bool headers = true)
{
    const QString script = QStringLiteral("import poplib, time\n"
                                          "t = time.monotonic()\n"
                                          "p = poplib.POP3('127.0.0.1', %1)\n"
                                          "p.user('%2'); p.pass_('secret')\n"
                                          "count, size = p.stat()\n"
                                          "for i in range(1, count + 1 if %3 else 1): p.top(i, 0)\n"
                                          "p.quit()\n"
                                          "print(time.monotonic() - t)\n")
                               .arg(port)
                               .arg(QString::fromStdString(user))
                               .arg(headers ? 1 : 0);
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script});
    python.waitForFinished(600000);
    return python.readAllStandardOutput().trimmed().toDouble();
}

std::vector<Row> Measure(test::Dovecot& server, const std::string& user,
                         std::chrono::milliseconds delay)
{
    test::DelayingProxy link(server.Port(), delay);
    Settings settings;
    settings.DisplayHeaders = true;
    settings.ConnectionTimeout = kTimeoutSeconds;
    test::BenchmarkController bench(settings, {{"Bench", user, "127.0.0.1", "10", "secret"}},
                                    link.Port());
    auto& controller = *bench.controller;
    auto& desktop = bench.desktop;
    std::vector<Row> rows;
    const auto timed = [&](const char* poll, int expected, const auto& work) {
        QElapsedTimer clock;
        clock.start();
        work();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const bool complete =
            controller.MailMessages().size() == static_cast<std::size_t>(expected) &&
            desktop.messages.empty();
        rows.push_back({"vorlane", poll, seconds, complete, link.Take()});
    };
    timed("first", kMessages, [&] { controller.FormCreate(); }); // the start polls at once
    server.AddMessage(user, "Newcomer <new@example.org>", "=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=");
    timed("repeat", kMessages + 1, [&] { controller.ChecknowMenuItemClick(-1); });
    const double poplib = Poplib(link.Port(), user);
    rows.push_back({"poplib", "every", poplib, poplib > 0, link.Take()});
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    const test::BenchmarkRun run(argc, argv);

    if (!test::CanRunDovecot())
        return 1;
    test::Dovecot server;
    const struct
    {
        const char* name;
        const char* user;
        std::chrono::milliseconds delay;
    } links[] = {{"loopback", "near", std::chrono::milliseconds(0)},
                 {"+35 ms per reply", "far", std::chrono::milliseconds(35)}};
    for (const auto& link : links) {
        server.AddUser(link.user, "secret");
        Fill(server, link.user);
    }
    server.Start();
    for (const auto& link : links) // Dovecot indexes each mailbox at its first opening
        Poplib(server.Port(), link.user, false);

    std::printf(
        "POP3 polls with headers of %d messages (Dovecot), the first with nothing cached and a\n"
        "repeat after one new message; poplib fetches every header at every poll.\n"
        "Time-out of a poll: %d s.\n\n",
        kMessages, kTimeoutSeconds);
    std::printf("%-17s %-8s %-7s %10s %6s %12s %12s\n", "link", "client", "poll", "time", "TOPs",
                "bytes out", "bytes in");
    for (const auto& link : links) {
        for (const auto& row : Measure(server, link.user, link.delay)) {
            std::printf("%-17s %-8s %-7s %8.3f s %6ld %12llu %12llu%s\n", link.name, row.client,
                        row.poll, row.seconds, TopRequests(row.traffic),
                        static_cast<unsigned long long>(row.traffic.toServer),
                        static_cast<unsigned long long>(row.traffic.toClient),
                        row.complete ? "" : "  (did not complete)");
        }
    }
    return 0;
}
