// IMAP entries in the check cycle, against a real Dovecot on 127.0.0.1: unseen messages are
// announced once, seen ones never, failures are reported by their step, and the Maildir's flags
// are never changed.
#include "app/ControllerFixture.h"
#include "servers/Dovecot.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::Dovecot;

MailServerRow ImapRow(const std::string& name, const std::string& user, const std::string& password,
                      int port, const std::string& folder = "INBOX")
{
    MailServerRow row{name, user, "127.0.0.1", "10", password};
    row.Protocol = MailProtocol::Imap;
    row.Port = port;
    row.Folder = folder;
    return row;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(ImapPoll, UnseenMessagesAreAnnouncedOnceAndSeenOnesNever)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    server.AddFlaggedMessage("joe", "Old <old@example.org>", "Read long ago", "S");
    server.AddMessage("joe", "=?UTF-8?B?SsO8cmdlbg==?= <j@example.org>", "Lunch?");
    server.Start();
    const auto flagsBefore = server.MaildirFiles("joe");

    ControllerFixture f;
    auto settings = ControllerFixture::LoggingSettings();
    settings.DisplayHeaders = true;
    f.Store({ImapRow("Cloud", "joe", "secret", server.ImapPort())}, settings);
    auto& c = f.Create(0);

    EXPECT_TRUE(f.desktop.messages.empty())
        << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
    ASSERT_EQ(f.desktop.newMail.size(), 1u);
    EXPECT_EQ(f.desktop.newMail[0].text, "2 new mail messages have arrived at 'Cloud'");
    ASSERT_EQ(f.desktop.newMail[0].headers.size(), 2u);
    EXPECT_EQ(f.desktop.newMail[0].headers[0].second.From, "Ann <ann@example.org>");
    EXPECT_EQ(f.desktop.newMail[0].headers[1].second.Subject, "Lunch?");
    EXPECT_EQ(c.MailServers()[0].MessageCount, 2) << "the unseen messages";
    EXPECT_TRUE(f.Logged("IMAP OUT: a2 LOGIN joe ********") ||
                f.Logged("IMAP OUT: a1 LOGIN joe ********"));
    EXPECT_FALSE(Contains(test::ReadFile(f.dir / "Vorlane.log"), "secret"));

    // The same unseen messages are no news; a new one is, alone.
    c.ChecknowMenuItemClick(-1);
    EXPECT_EQ(f.desktop.newMail.size(), 1u);
    server.AddMessage("joe", "Bob <bob@example.org>", "Minutes");
    c.ChecknowMenuItemClick(-1);
    ASSERT_EQ(f.desktop.newMail.size(), 2u);
    EXPECT_EQ(f.desktop.newMail[1].text, "A new mail message has arrived at 'Cloud'");
    EXPECT_EQ(c.MailServers()[0].MessageCount, 3);
    // Read-only: every message keeps the flags it had (new ones are only added).
    const auto flagsAfter = server.MaildirFiles("joe");
    for (const auto& name : flagsBefore)
        EXPECT_NE(std::find(flagsAfter.begin(), flagsAfter.end(), name), flagsAfter.end())
            << name << " changed";
}

TEST(ImapPoll, RefusalsAreReportedByTheirStepWithTheServersWords)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.Start();
    const struct
    {
        MailServerRow row;
        const char* sentence;
    } cases[] = {
        {ImapRow("Wrong", "joe", "not the password", server.ImapPort()),
         "The mail server refused the login: the user name or the password is incorrect."},
        {ImapRow("Missing", "joe", "secret", server.ImapPort(), "No/Such/Folder"),
         "The folder could not be opened; it may not exist at the mail server."},
    };
    for (const auto& c : cases) {
        ControllerFixture f;
        f.Store({c.row});
        f.Create(0);
        ASSERT_EQ(f.desktop.messages.size(), 1u) << c.row.Name;
        const auto& report = f.desktop.messages[0];
        EXPECT_TRUE(Contains(report, c.sentence)) << report;
        EXPECT_TRUE(Contains(report, "The server said: ")) << report;
        EXPECT_TRUE(f.desktop.newMail.empty());
    }
}

TEST(ImapPoll, WhileTheFolderIsWatchedANewMessageIsAnnouncedWithoutWaitingForTheInterval)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.AddFlaggedMessage("joe", "Old <old@example.org>", "Read long ago", "S");
    server.Start();
    const auto flagsBefore = server.MaildirFiles("joe");

    ControllerFixture f;
    f.Store({ImapRow("Cloud", "joe", "secret", server.ImapPort())}); // every 10 minutes
    auto& c = f.Create(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.WatchingFolderOf("Cloud"); }, 10000));
    EXPECT_TRUE(f.desktop.newMail.empty());

    for (int round = 1; round <= 2; ++round) {
        server.AddMessage("joe", "Ann <ann@example.org>", "Pushed " + std::to_string(round));
        // Far less than the interval and the minute tick: only the server's word can do it.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return f.desktop.newMail.size() == std::size_t(round); }, 15000))
            << round;
        EXPECT_EQ(f.desktop.newMail.back().text, "A new mail message has arrived at 'Cloud'");
        EXPECT_EQ(c.MailServers()[0].MessageCount, round);
        ASSERT_TRUE(QTest::qWaitFor([&] { return c.WatchingFolderOf("Cloud"); }, 10000));
    }
    EXPECT_TRUE(f.Logged("IMAP watch [Cloud]: news of the folder."));
    EXPECT_TRUE(f.Logged("IMAP watch [Cloud]: waiting for news of INBOX."));
    const auto flagsAfter = server.MaildirFiles("joe");
    for (const auto& name : flagsBefore)
        EXPECT_NE(std::find(flagsAfter.begin(), flagsAfter.end(), name), flagsAfter.end())
            << name << " changed";
}

} // namespace
} // namespace vorlane
