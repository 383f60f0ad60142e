// Polls that build on the ones before: headers fetched once and kept across restarts and
// failures, "Announce only messages not seen before", against Dovecot and scripted servers.
#include "app/ControllerFixture.h"
#include "servers/DelayingProxy.h"
#include "servers/Dovecot.h"
#include "servers/ScriptedServer.h"
#include "ui/HeaderLines.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::DelayingProxy;
using test::Dovecot;
using test::ScriptedServer;
using Commands = std::vector<std::string>;

Settings HeadersOn()
{
    auto settings = ControllerFixture::LoggingSettings();
    settings.DisplayHeaders = true;
    return settings;
}

MailServerRow Home()
{
    return {"Home", "joe", "127.0.0.1", "10", "secret"};
}

std::vector<std::string> Subjects(const MailMessageList& headers)
{
    std::vector<std::string> subjects;
    for (const auto& [number, message] : headers)
        subjects.push_back(number + ": " + message.Subject);
    return subjects;
}

TEST(RepeatPoll, OnlyNewMessagesHeadersAreFetchedAlsoAfterARestart)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    for (const char* subject : {"One", "Two", "Three"})
        server.AddMessage("joe", "Ann <ann@example.org>", subject);
    server.Start();
    DelayingProxy wire(server.Port(), std::chrono::milliseconds(0));

    ControllerFixture f;
    f.Store({Home()}, HeadersOn());
    auto* c = &f.Create(wire.Port());
    EXPECT_EQ(wire.Take().commands, (Commands{"CAPA", "USER joe", "PASS secret", "STAT", "UIDL",
                                              "TOP 1 0", "TOP 2 0", "TOP 3 0", "QUIT"}));

    server.AddMessage("joe", "Bob <bob@example.org>", "Four");
    c->ChecknowMenuItemClick(-1);
    EXPECT_EQ(wire.Take().commands,
              (Commands{"CAPA", "USER joe", "PASS secret", "STAT", "UIDL", "TOP 4 0", "QUIT"}));
    ASSERT_EQ(f.desktop.newMail.size(), 2u);
    const auto& window = f.desktop.newMail.back();
    EXPECT_EQ(window.text, "4 new mail messages have arrived at 'Home'");
    EXPECT_EQ(Subjects(window.headers),
              (std::vector<std::string>{"1: One", "2: Two", "3: Three", "4: Four"}))
        << "every waiting message, in the server's order: the window opens on the newest";
    EXPECT_EQ(window.headers[3].second.From, "Bob <bob@example.org>");

    f.controller.reset(); // the program ends and starts again
    c = &f.Create(wire.Port());
    EXPECT_EQ(wire.Take().commands,
              (Commands{"CAPA", "USER joe", "PASS secret", "STAT", "UIDL", "QUIT"}));
    ASSERT_EQ(f.desktop.newMail.size(), 3u);
    EXPECT_EQ(Subjects(f.desktop.newMail.back().headers),
              (std::vector<std::string>{"1: One", "2: Two", "3: Three", "4: Four"}));
}

TEST(RepeatPoll, AnnouncesOnlyMessagesNotSeenBeforeAlsoAfterARestart)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.AddMessage("joe", "Ann", "One");
    server.AddMessage("joe", "Ann", "Two");
    server.Start();

    ControllerFixture f;
    auto settings = ControllerFixture::LoggingSettings();
    settings.AnnounceUnseenOnly = true;
    f.Store({Home()}, settings);
    f.Create(server.Port());
    ASSERT_EQ(f.desktop.newMail.size(), 1u) << "nothing was seen before the first poll";
    EXPECT_EQ(f.desktop.newMail[0].text, "2 new mail messages have arrived at 'Home'");
    EXPECT_TRUE(f.Logged("POP3 OUT: UIDL"));
    EXPECT_FALSE(f.Logged("POP3 OUT: TOP 1 0")) << "the listing alone, without headers";

    f.controller.reset();
    auto* c = &f.Create(server.Port());
    EXPECT_EQ(f.desktop.newMail.size(), 1u) << "the same two messages, seen before the restart";

    server.AddMessage("joe", "Bob", "Three");
    c->ChecknowMenuItemClick(-1);
    ASSERT_EQ(f.desktop.newMail.size(), 2u);
    EXPECT_EQ(f.desktop.newMail[1].text, "A new mail message has arrived at 'Home'");
    EXPECT_EQ(f.desktop.tray.back(),
              (test::RecordingDesktop::Tray{2, "You have 3 new mail messages"}))
        << "the tray still counts every waiting message";

    c->ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.newMail.size(), 2u);
}

TEST(RepeatPoll, EncodedSendersAndSubjectsAreShownDecoded)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    const struct
    {
        const char* from;
        const char* subject;
        const char* shownFrom;
        const char* shownSubject;
    } messages[] = {
        {"=?UTF-8?Q?Bj=C3=B6rn?= <bjorn@example.org>", "=?UTF-8?B?R3LDvMOfZSBhdXMgS8O2bG4=?=",
         "Bj\u00F6rn <bjorn@example.org>", "Gr\u00FC\u00DFe aus K\u00F6ln"},
        {"=?KOI8-R?B?8NLJ18XU?= <ivan@example.org>",
         "=?ISO-8859-15?Q?Preis_=A4_10,?=\r\n =?ISO-8859-15?Q?_gefaltet?=",
         "\u041F\u0440\u0438\u0432\u0435\u0442 <ivan@example.org>", "Preis \u20AC 10, gefaltet"},
        {"=?windows-1252?Q?=93Quotes=94?= <q@example.org>", "Caf\xE9 cr\xE8me",
         "\u201CQuotes\u201D <q@example.org>", "Caf\u00E9 cr\u00E8me"},
        {"=?UTF-8?B?broken!?= <b@example.org>",
         "=?x-unknown?Q?abc?=", "=?UTF-8?B?broken!?= <b@example.org>", "=?x-unknown?Q?abc?="},
    };
    for (const auto& m : messages)
        server.AddMessage("joe", m.from, m.subject);
    server.Start();

    ControllerFixture f;
    f.Store({Home()}, HeadersOn());
    f.Create(server.Port());
    ASSERT_EQ(f.desktop.newMail.size(), 1u);
    const auto& headers = f.desktop.newMail[0].headers;
    ASSERT_EQ(headers.size(), std::size(messages));
    for (std::size_t i = 0; i < std::size(messages); ++i) {
        EXPECT_EQ(HeaderLinesAt(&headers, static_cast<int>(i)),
                  (HeaderLines{std::string("From: ") + messages[i].shownFrom,
                               std::string("Subject: ") + messages[i].shownSubject}))
            << i;
    }
    EXPECT_TRUE(f.Logged("POP3 IN : Subject: Caf\xE9 cr\xE8me")) << "the log keeps the raw line";
}

TEST(RepeatPoll, HeadersFetchedBeforeAFailureAreNotFetchedAgain)
{
    std::vector<ScriptedServer::Message> mailbox;
    for (int i = 1; i <= 4; ++i)
        mailbox.push_back({"id" + std::to_string(i), "Ann", "S" + std::to_string(i)});
    bool breakAtThree = true;
    const auto mailboxScript = ScriptedServer::Pop3Mailbox(mailbox, false);
    ScriptedServer server([&](ScriptedServer::Connection& c, const std::string& line) {
        if (breakAtThree && line == "TOP 3 0")
            c.Close(); // the link breaks half-way through the first poll
        else
            mailboxScript(c, line);
    });
    ControllerFixture f;
    f.Store({Home()}, HeadersOn());
    auto& c = f.Create(server.Port());
    ASSERT_EQ(f.desktop.messages.size(), 1u);
    EXPECT_EQ(f.desktop.messages[0], "Error while communicating with 'Home'\r\nThe mail server "
                                     "closed the connection while waiting for the mail headers.");

    breakAtThree = false;
    const auto before = server.Received().size();
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(
        Commands(server.Received().begin() + static_cast<long>(before), server.Received().end()),
        (Commands{"CAPA", "USER joe", "PASS secret", "STAT", "UIDL", "TOP 3 0", "TOP 4 0", "QUIT"}))
        << "one at a time: the server does not announce PIPELINING";
    ASSERT_EQ(f.desktop.newMail.size(), 1u);
    EXPECT_EQ(Subjects(f.desktop.newMail[0].headers),
              (std::vector<std::string>{"1: S1", "2: S2", "3: S3", "4: S4"}));
}

TEST(RepeatPoll, TheCacheGoesWhenTheEntrysHostOrUserChanges)
{
    std::vector<ScriptedServer::Message> mailbox = {{"id1", "Ann", "S1"}};
    ScriptedServer server(ScriptedServer::Pop3Mailbox(mailbox));
    ControllerFixture f;
    f.Store({Home()}, HeadersOn());
    auto& c = f.Create(server.Port());
    const auto files = [&] {
        return std::distance(std::filesystem::directory_iterator(f.CacheFolder()), {});
    };
    ASSERT_EQ(files(), 1);

    f.desktop.onSettings = [&] {
        f.Store({{"Home", "joe", "127.0.0.1", "5", "secret"}}, HeadersOn());
    };
    c.SettingsMenuItemClick();
    EXPECT_EQ(files(), 1) << "another interval is the same mailbox";

    f.desktop.onSettings = [&] {
        f.Store({{"Home", "ann", "127.0.0.1", "5", "secret"}}, HeadersOn());
    };
    c.SettingsMenuItemClick();
    EXPECT_EQ(files(), 0) << "another user is another mailbox";
}

TEST(RepeatPoll, WithoutUniqueIdsUnseenOnlyKeepsTheCountAndSizeRule)
{
    ScriptedServer server(ScriptedServer::Pop3("+OK 2 300"));
    ControllerFixture f;
    auto settings = ControllerFixture::LoggingSettings();
    settings.AnnounceUnseenOnly = true;
    f.Store({Home()}, settings);
    auto& c = f.Create(server.Port());
    ASSERT_EQ(f.desktop.newMail.size(), 1u);
    EXPECT_EQ(f.desktop.newMail[0].text, "2 new mail messages have arrived at 'Home'");
    EXPECT_EQ(server.Received().front(), "CAPA");
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.newMail.size(), 1u);
}

} // namespace
} // namespace vorlane
