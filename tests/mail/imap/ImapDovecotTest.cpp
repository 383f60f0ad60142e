// The IMAP dialogue against a real Dovecot on 127.0.0.1, over a plain blocking socket.
#include "mail/HeaderCache.h"
#include "mail/HeaderText.h"
#include "mail/imap/ImapDialogue.h"
#include "servers/Dovecot.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlane {
namespace {

using test::Dovecot;

// A loopback connection that hands the dialogue what the server sends until the dialogue ends.
class BlockingConnection : public ImapTransport
{
public:
    explicit BlockingConnection(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        // Only a guard against a test that would hang: a healthy run never waits this long.
        timeval guard{60, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~BlockingConnection() override { ::close(fd_); }

    void Send(const std::string& text) override
    {
        EXPECT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(text.size()));
    }
    void Close() override { ::shutdown(fd_, SHUT_RDWR); }
    void StartTls() override { ADD_FAILURE() << "no TLS asked for"; }

    // Reads until the dialogue has ended, or `until` holds.
    void Run(
        ImapDialogue& dialogue, const std::function<bool()>& until = [] { return false; })
    {
        ASSERT_TRUE(connected_);
        char buffer[4096];
        while (!dialogue.Ended() && !until()) {
            const auto got = ::recv(fd_, buffer, sizeof buffer, 0);
            ASSERT_GE(got, 0) << "no answer from the server";
            if (got == 0) {
                dialogue.ConnectionClosed();
                break;
            }
            dialogue.SplitReceived(std::string_view(buffer, static_cast<std::size_t>(got)));
        }
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

struct Poll
{
    explicit Poll(int port) : connection(port) {}

    BlockingConnection connection;
    std::vector<std::string> log;
    MailMessageList messages;
    ImapDialogue dialogue{connection, [this](const std::string& line) { log.push_back(line); }};
};

class ImapDovecot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_DOVECOT();
        server = std::make_unique<Dovecot>();
        server->AddUser("joe", "pa ss\"word");
        server->AddFlaggedMessage("joe", "Old <old@example.org>", "Read long ago", "S");
        server->AddFlaggedMessage("joe", "Ann <ann@example.org>",
                                  "=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=", "");
        server->AddFlaggedMessage("joe", "Also Read <r@example.org>", "Seen and answered", "RS");
        server->AddFlaggedMessage("joe", "=?ISO-8859-1?Q?J=F6rg?= <j@example.org>", "Flagged", "F");
        server->Start();
        before = server->MaildirFiles("joe");
    }
    void TearDown() override
    {
        if (server) {
            EXPECT_EQ(server->MaildirFiles("joe"), before) << "no flag changed on the server";
        }
    }

    std::unique_ptr<Dovecot> server;
    std::vector<std::string> before;
};

TEST_F(ImapDovecot, FindsTheUnseenMessagesAndTheirHeadersWithoutChangingAFlag)
{
    Poll first(server->ImapPort());
    first.dialogue.Start("joe", "pa ss\"word", "INBOX", first.messages);
    first.dialogue.MailState = ImapStep::Connected;
    first.connection.Run(first.dialogue);

    ASSERT_FALSE(first.dialogue.MailFailed)
        << first.dialogue.NegativeReply << first.dialogue.Detail;
    EXPECT_EQ(first.dialogue.MailState, ImapStep::Finished);
    EXPECT_EQ(first.dialogue.Exists, 4u);
    ASSERT_EQ(first.dialogue.UnseenCount(), 2);
    ASSERT_EQ(first.messages.size(), 2u);
    std::vector<std::string> from, subjects;
    for (std::size_t i = 0; i < first.messages.size(); ++i) {
        EXPECT_EQ(first.messages[i].first, std::to_string(first.dialogue.UnseenUids[i]));
        from.push_back(DecodeHeaderText(first.messages[i].second.From, DecodeCommonCharset));
        subjects.push_back(DecodeHeaderText(first.messages[i].second.Subject, DecodeCommonCharset));
    }
    std::sort(from.begin(), from.end());
    std::sort(subjects.begin(), subjects.end());
    EXPECT_EQ(from,
              (std::vector<std::string>{"Ann <ann@example.org>", "J\xc3\xb6rg <j@example.org>"}));
    EXPECT_EQ(subjects, (std::vector<std::string>{"Flagged", "Gr\xc3\xbc\xc3\x9f"
                                                             "e"}));
    for (const auto& line : first.log)
        EXPECT_EQ(line.find("pa ss"), std::string::npos) << line;

    // A second poll takes the headers from the cache: the same UIDs, nothing fetched.
    HeaderCache cache;
    for (std::size_t i = 0; i < first.messages.size(); ++i)
        cache.Add(first.dialogue.HeaderRecordIds()[i], first.messages[i].second);
    Poll second(server->ImapPort());
    ImapOptions options;
    options.cache = &cache;
    second.dialogue.Start("joe", "pa ss\"word", "INBOX", second.messages, options);
    second.dialogue.MailState = ImapStep::Connected;
    second.connection.Run(second.dialogue);
    ASSERT_FALSE(second.dialogue.MailFailed) << second.dialogue.NegativeReply;
    EXPECT_EQ(second.dialogue.UnseenUids, first.dialogue.UnseenUids);
    EXPECT_EQ(second.messages, first.messages);
    for (const auto& line : second.log)
        EXPECT_EQ(line.find("FETCH"), std::string::npos) << line;
}

TEST_F(ImapDovecot, EndsWithAClearFailureWhenRefused)
{
    const struct
    {
        const char* name;
        const char* password;
        const char* folder;
        ImapStep step;
        const char* negativeReply;
    } cases[] = {
        {"a folder that does not exist", "pa ss\"word", "Nowhere", ImapStep::ExamineSent, "a2 NO "},
        {"a wrong password", "wrong", "INBOX", ImapStep::LoginSent,
         "a1 NO [AUTHENTICATIONFAILED] "},
    };
    for (const auto& c : cases) {
        Poll poll(server->ImapPort());
        poll.dialogue.Start("joe", c.password, c.folder, poll.messages);
        poll.dialogue.MailState = ImapStep::Connected;
        poll.connection.Run(poll.dialogue);
        EXPECT_TRUE(poll.dialogue.MailFailed) << c.name;
        EXPECT_EQ(poll.dialogue.MailState, c.step) << c.name;
        EXPECT_EQ(poll.dialogue.Failure, MailFailure::Refused) << c.name;
        EXPECT_TRUE(poll.dialogue.NegativeReply.starts_with(c.negativeReply))
            << c.name << ": " << poll.dialogue.NegativeReply;
    }
}

} // namespace
} // namespace vorlane
