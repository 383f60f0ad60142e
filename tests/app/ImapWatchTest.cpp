// The IDLE connection of an IMAP entry against a scripted server, for what Dovecot does not do
// on demand: renewal after a short time, a server that never ends IDLE, one without IDLE.
#include "app/ImapWatch.h"

#include "app/ControllerFixture.h"
#include "servers/ScriptedServer.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using test::ScriptedServer;

// An IMAP server of one folder with no unseen mail. IDLE is announced unless told not to; it
// reports a new message right after the client starts idling when news is set, and answers
// DONE unless endsIdle is false.
ScriptedServer::Script ImapFolder(bool idle, bool endsIdle, bool news = false)
{
    auto idleTag = std::make_shared<std::string>();
    return [=](ScriptedServer::Connection& c, const std::string& line) {
        if (line.empty()) {
            c.Send(std::string("* OK [CAPABILITY IMAP4rev1") + (idle ? " IDLE" : "") + "] hi\r\n");
            return;
        }
        if (line == "DONE") {
            if (endsIdle)
                c.Send(*idleTag + " OK IDLE done\r\n");
            return;
        }
        const auto tag = line.substr(0, line.find(' '));
        const auto command = line.substr(tag.size() + 1);
        if (command.starts_with("EXAMINE"))
            c.Send("* 1 EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\n" + tag + " OK [READ-ONLY] done\r\n");
        else if (command.starts_with("UID SEARCH"))
            c.Send("* SEARCH\r\n" + tag + " OK done\r\n");
        else if (command == "IDLE") {
            *idleTag = tag;
            if (news)
                c.Send(std::vector<std::string>{"+ idling\r\n", "* 2 EXISTS\r\n"});
            else
                c.Send("+ idling\r\n");
        } else if (command == "LOGOUT") {
            c.Send("* BYE bye\r\n" + tag + " OK done\r\n");
            c.Close();
        } else
            c.Send(tag + " OK done\r\n");
    };
}

struct WatchFixture
{
    explicit WatchFixture(ScriptedServer::Script script) : server(std::move(script))
    {
        TMailServer entry("Cloud", "joe", "secret", "127.0.0.1", 10);
        entry.Protocol = MailProtocol::Imap;
        entry.Port = server.Port();
        watch = std::make_unique<ImapWatch>(
            entry, 143, [] { return std::optional<std::string>("secret"); },
            [this](const std::string& line) { log.push_back(line); });
    }
    bool Logged(const std::string& line) const
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    ScriptedServer server;
    std::vector<std::string> log;
    std::unique_ptr<ImapWatch> watch;
};

TEST(ImapWatch, NewsInIdleIsToldAndTheConnectionIsRenewed)
{
    WatchFixture f(ImapFolder(true, true, true));
    QSignalSpy news(f.watch.get(), &ImapWatch::newsArrived);
    f.watch->SetTimings(300ms, 5s);
    f.watch->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return news.count() >= 1; }, 5000));
    EXPECT_TRUE(f.watch->Idling());
    // Renewed: DONE, LOGOUT, and a new connection at once that waits in IDLE again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.server.Connections() >= 2; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.watch->Idling(); }, 5000));
    const auto& received = f.server.Received();
    EXPECT_NE(std::find(received.begin(), received.end(), "DONE"), received.end());
    EXPECT_TRUE(std::none_of(received.begin(), received.end(), [](const std::string& line) {
        return line.find("SELECT") != std::string::npos || line.find("STORE") != std::string::npos;
    })) << "read-only";
    EXPECT_TRUE(std::none_of(f.log.begin(), f.log.end(), [](const std::string& line) {
        return line.find("secret") != std::string::npos;
    })) << "the password never in the log";
}

TEST(ImapWatch, AServerThatNeverEndsIdleLosesTheConnectionAndIsTriedAgainLater)
{
    WatchFixture f(ImapFolder(true, false));
    f.watch->SetTimings(200ms, 200ms);
    f.watch->Start();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return f.Logged(
                "IMAP watch [Cloud]: the server did not end IDLE; the connection is closed.");
        },
        5000));
    EXPECT_TRUE(f.Logged("IMAP watch [Cloud]: the connection ended; trying again in 5 s."));
    EXPECT_EQ(f.server.Connections(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.server.Connections() == 2; }, 10000));
}

TEST(ImapWatch, WithoutIdleTheWatchEndsForGood)
{
    WatchFixture f(ImapFolder(false, true));
    QSignalSpy unavailable(f.watch.get(), &ImapWatch::idleUnavailable);
    f.watch->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return unavailable.count() == 1; }, 5000));
    EXPECT_FALSE(f.watch->Running());
    QTest::qWait(300);
    EXPECT_EQ(f.server.Connections(), 1);
}

TEST(ImapWatch, TheConnectionGateKeepsTheFoldersUnwatchedWhileItHoldsWorkBack)
{
    ScriptedServer server(ImapFolder(true, true));
    for (const bool gated : {true, false}) {
        // Gating on a RAS connection without a system bus: work pauses.
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vorlane-test-bus", 1);
        test::ControllerFixture f;
        auto settings = test::ControllerFixture::LoggingSettings();
        settings.ConnectionType = gated;
        settings.RasConnection = "|Office";
        MailServerRow row{"Cloud", "joe", "127.0.0.1", "10", "secret"};
        row.Protocol = MailProtocol::Imap;
        row.Port = server.Port();
        f.Store({row}, settings);
        const int before = server.Connections();
        auto& c = f.Create(0);
        if (gated) {
            QTest::qWait(500);
            EXPECT_EQ(server.Connections(), before) << "no poll and no watch";
            EXPECT_FALSE(c.WatchingFolderOf("Cloud"));
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return c.WatchingFolderOf("Cloud"); }, 5000));
        }
    }
}

TEST(ImapWatch, APauseDoublesWithEveryFailureInARowUpToItsBound)
{
    const struct
    {
        int failures;
        long long seconds;
    } cases[] = {{1, 5}, {2, 10}, {3, 20}, {8, 640}, {9, 900}, {1000, 900}};
    for (const auto& c : cases)
        EXPECT_EQ(ImapWatch::RetryPause(c.failures).count(), c.seconds) << c.failures;
}

} // namespace
} // namespace vorlane
