// The check cycle against a real Dovecot POP3 server on 127.0.0.1.
#include "servers/Dovecot.h"

#include "app/ControllerFixture.h"
#include "mail/ServerReply.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::Dovecot;

// A POP3 session of its own, logged in, that holds the mailbox's lock while it lives.
class BlockingSession
{
public:
    BlockingSession(int port, const std::string& user, const std::string& password)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ReadLine();
        Command("USER " + user);
        last = Command("PASS " + password);
    }
    ~BlockingSession() { ::close(fd_); }
    std::string last;

private:
    std::string Command(const std::string& text)
    {
        const auto line = text + "\r\n";
        EXPECT_EQ(::write(fd_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        return ReadLine();
    }
    std::string ReadLine()
    {
        std::string line;
        char c;
        while (::read(fd_, &c, 1) == 1 && c != '\n')
            line.push_back(c);
        return line;
    }
    int fd_;
};

TEST(Dovecot, PollsMailboxesWithAndWithoutMailAndLogsTheWholeDialogue)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.AddUser("empty", "nothing");
    const int first = server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    const int second = server.AddMessage("joe", "Bob <bob@example.org>", "");
    server.Start();

    ControllerFixture f;
    auto settings = ControllerFixture::LoggingSettings();
    settings.DisplayHeaders = true;
    f.Store({{"Home", "joe", "localhost", "10", "secret"},
             {"Empty", "empty", "127.0.0.1", "5", "nothing"}},
            settings);
    auto& c = f.Create(server.Port());

    EXPECT_TRUE(f.desktop.messages.empty())
        << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
    ASSERT_EQ(c.MailServers().size(), 2u);
    EXPECT_EQ(c.MailServers()[0].Name, "Empty");
    EXPECT_EQ(c.MailServers()[0].MessageCount, 0);
    EXPECT_EQ(c.MailServers()[1].MessageCount, 2);
    EXPECT_EQ(c.MailServers()[1].MailboxSize, first + second);
    ASSERT_EQ(c.MailMessages().size(), 0u) << "the last entry polled was the empty one";
    EXPECT_EQ(f.desktop.tray.back(),
              (test::RecordingDesktop::Tray{2, "You have 2 new mail messages"}));

    const auto log = f.Log();
    const auto home = std::find(log.begin(), log.end(), "Checking localhost for new mail.");
    ASSERT_NE(home, log.end());
    const std::vector<std::string> expected = {
        "Checking localhost for new mail.",
        "Socket: Resolving hostname",
        "Socket: Connecting",
        "Socket: Connected",
        "POP3 IN : +OK Dovecot (Debian) ready.",
        "POP3 OUT: CAPA",
        "POP3 IN : +OK",
        "POP3 IN : CAPA",
        "POP3 IN : TOP",
        "POP3 IN : UIDL",
        "POP3 IN : RESP-CODES",
        "POP3 IN : PIPELINING",
        "POP3 IN : AUTH-RESP-CODE",
        "POP3 IN : USER",
        "POP3 IN : SASL PLAIN",
        "POP3 IN : .",
        "POP3 OUT: USER joe",
        "POP3 IN : +OK",
        "POP3 OUT: PASS ********",
        "POP3 IN : +OK Logged in.",
        "POP3 OUT: STAT",
        "POP3 IN : +OK 2 " + std::to_string(first + second),
        "POP3 OUT: UIDL",
        "POP3 IN : +OK",
        "POP3 IN : 1 *",
        "POP3 IN : 2 *",
        "POP3 IN : .",
        "POP3 OUT: TOP 1 0",
        "POP3 OUT: TOP 2 0",
        "POP3 IN : +OK",
        "POP3 IN : Return-Path: <sender@example.org>",
        "POP3 IN : From: Ann <ann@example.org>",
        "POP3 IN : Subject: Hello",
        "POP3 IN : Message-ID: <1@example.org>",
        "POP3 IN : ",
        "POP3 IN : .",
        "POP3 IN : +OK",
        "POP3 IN : Return-Path: <sender@example.org>",
        "POP3 IN : From: Bob <bob@example.org>",
        "POP3 IN : Message-ID: <2@example.org>",
        "POP3 IN : ",
        "POP3 IN : .",
        "POP3 OUT: QUIT",
        "POP3 IN : +OK Logging out.",
    };
    ASSERT_GE(log.end() - home, static_cast<long>(expected.size()));
    // Unique ids are Dovecot's to choose: "*" stands for the rest of such a line.
    std::vector<std::string> logged(home, home + static_cast<long>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i].ends_with('*') &&
            logged[i].starts_with(expected[i].substr(0, expected[i].size() - 1)))
            logged[i] = expected[i];
    EXPECT_EQ(logged, expected);
    for (const auto& line : log)
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;

    // The second pass finds the same mail; the headers of the poll are those of its last entry.
    c.ChecknowMenuItemClick(1);
    ASSERT_EQ(c.MailMessages().size(), 2u);
    EXPECT_EQ(c.MailMessages()[0].second.From, "Ann <ann@example.org>");
    EXPECT_EQ(c.MailMessages()[0].second.Subject, "Hello");
    EXPECT_EQ(c.MailMessages()[1].second.Subject, "");
    EXPECT_FALSE(c.MailServers()[1].HasNewMail());
}

TEST(Dovecot, ALockedMailboxIsBusyNotFailed)
{
    REQUIRE_DOVECOT();
    Dovecot server;
    server.AddUser("joe", "secret");
    server.AddMessage("joe", "Ann", "Hello");
    server.Start();

    ControllerFixture f;
    // Dovecot waits about ten seconds for the lock before it gives up.
    f.Store({{"Home", "joe", "127.0.0.1", "10", "secret"}}, ControllerFixture::LoggingSettings(40));
    auto& c = f.Create(server.Port());
    ASSERT_EQ(c.MailServers()[0].MessageCount, 1);

    const BlockingSession holder(server.Port(), "joe", "secret");
    ASSERT_TRUE(holder.last.starts_with("+OK")) << holder.last;
    c.ChecknowMenuItemClick(-1);
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_FALSE(c.MailServers()[0].Failed);
    EXPECT_EQ(c.MailServers()[0].MessageCount, 1);
    EXPECT_FALSE(c.MailServers()[0].HasNewMail());
    EXPECT_TRUE(f.Logged("POP3 IN : -ERR [IN-USE] Mailbox is locked by another POP3 session."))
        << "Dovecot's words for a locked mailbox changed";
}

TEST(Dovecot, AWrongPasswordIsReported)
{
    REQUIRE_DOVECOT();
    Dovecot server; // a server of its own: failed logins slow later ones from the same address
    server.AddUser("joe", "secret");
    server.Start();

    ControllerFixture f;
    f.Store({{"Home", "joe", "127.0.0.1", "10", "wrong"}});
    auto& c = f.Create(server.Port());
    // Dovecot's own words follow, with the advice for its RFC 2449 response code.
    EXPECT_EQ(f.desktop.messages,
              std::vector<std::string>{
                  "Error while communicating with 'Home'\r\nThe specified password is incorrect."
                  "\r\nThe server said: [AUTH] Authentication failed.\r\n" +
                  std::string(ResponseCodeAdvice("[AUTH]"))});
    EXPECT_TRUE(c.MailServers()[0].Failed);
}

} // namespace
} // namespace vorlane
