#include "mail/imap/ImapDialogue.h"

#include "mail/HeaderCache.h"
#include "mail/TransportRecorder.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Recorder = test::TransportRecorder<ImapTransport>;

struct Fixture
{
    explicit Fixture(ImapOptions options = {}, std::string password = "s3cret")
        : password(std::move(password))
    {
        dialogue.Start("joe", this->password, "INBOX", messages, std::move(options));
        dialogue.MailState = ImapStep::Connected; // the socket reports the connection
    }
    void Receive(std::string_view bytes) { dialogue.SplitReceived(bytes); }
    std::string Logged() const
    {
        std::string all;
        for (const auto& line : log)
            all += line + "\n";
        return all;
    }
    void ExpectNoSecretLogged() const
    {
        for (const auto& line : log) {
            EXPECT_EQ(line.find(password), std::string::npos) << line;
            EXPECT_EQ(line.find("czNjcmV0"), std::string::npos) << line; // base64 of it
        }
    }

    std::string password;
    Recorder transport;
    std::vector<std::string> log;
    MailMessageList messages;
    ImapDialogue dialogue{transport, [this](const std::string& line) { log.push_back(line); }};
};

ImapOptions Options(bool startTls, bool headers = true, const HeaderCache* cache = nullptr)
{
    ImapOptions options;
    options.useStartTls = startTls;
    options.fetchHeaders = headers;
    options.cache = cache;
    return options;
}

const std::string kGreeting = "* OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready.\r\n";
const std::string kExamine = "* 5 EXISTS\r\n* 0 RECENT\r\n"
                             "* OK [UIDVALIDITY 1700000000] UIDs valid\r\n"
                             "a2 OK [READ-ONLY] Examine completed.\r\n";
const std::string kAnn = "From: Ann <ann@example.org>\r\nSubject: Hello\r\n\tagain\r\n"
                         "Date: Tue, 14 Nov 2023 22:13:20 +0000\r\n\r\n";
const std::string kBob = "FROM: Bob\r\n\r\n";
const std::string kFetch =
    "* 2 FETCH (UID 2 FLAGS () BODY[HEADER.FIELDS (FROM SUBJECT DATE)] {" +
    std::to_string(kAnn.size()) + "}\r\n" + kAnn +
    ")\r\n* 3 FETCH (FLAGS (\\Recent) UID 3 BODY[HEADER.FIELDS (FROM SUBJECT DATE)] {" +
    std::to_string(kBob.size()) + "}\r\n" + kBob +
    ")\r\n* 5 FETCH (UID 9 FLAGS () BODY[HEADER.FIELDS (FROM SUBJECT DATE)] \"\")\r\n"
    "* 4 FETCH (UID 7 FLAGS (\\Seen))\r\n"
    "a4 OK Fetch completed.\r\n";
const std::string kPoll = kGreeting + "a1 OK Logged in\r\n" + kExamine +
                          "* SEARCH 3 9 2\r\na3 OK Search completed.\r\n" + kFetch +
                          "* BYE Logging out\r\na5 OK Logout completed.\r\n";
const std::string kPollCommands =
    "a1 LOGIN joe s3cret\r\na2 EXAMINE INBOX\r\na3 UID SEARCH UNSEEN\r\n"
    "a4 UID FETCH 2:3,9 (FLAGS BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE)])\r\n"
    "a5 LOGOUT\r\n";

TEST(ImapDialogue, PollsTheUnseenMessagesAndTheirHeadersHoweverTheRepliesAreCut)
{
    for (std::size_t cut = 0; cut <= kPoll.size(); ++cut) {
        Fixture f;
        f.Receive(kPoll.substr(0, cut));
        f.Receive(kPoll.substr(cut));
        const auto where = "cut at " + std::to_string(cut);
        ASSERT_EQ(f.transport.sent, kPollCommands) << where;
        EXPECT_EQ(f.dialogue.MailState, ImapStep::Finished) << where;
        EXPECT_FALSE(f.dialogue.MailFailed) << where;
        EXPECT_EQ(f.transport.closes, 1) << where;
        EXPECT_EQ(f.dialogue.UnseenCount(), 3) << where;
        EXPECT_EQ(f.dialogue.UnseenUids, (std::vector<std::uint32_t>{2, 3, 9})) << where;
        EXPECT_EQ(f.dialogue.Exists, 5u) << where;
        EXPECT_EQ(f.dialogue.UidValidity, 1700000000u) << where;
        const MailMessageList expected = {{"2", {"Ann <ann@example.org>", "Hello\r\n\tagain"}},
                                          {"3", {"Bob", ""}},
                                          {"9", {"", ""}}};
        EXPECT_EQ(f.messages, expected) << where;
        EXPECT_EQ(f.dialogue.HeaderRecordIds(),
                  (std::vector<std::string>{"1700000000.2", "1700000000.3", "1700000000.9"}));
        if (cut == 0) {
            const std::vector<std::string> out = {
                "IMAP OUT: a1 LOGIN joe ********", "IMAP OUT: a2 EXAMINE INBOX",
                "IMAP OUT: a3 UID SEARCH UNSEEN",
                "IMAP OUT: a4 UID FETCH 2:3,9 (FLAGS BODY.PEEK[HEADER.FIELDS (FROM SUBJECT "
                "DATE)])",
                "IMAP OUT: a5 LOGOUT"};
            std::vector<std::string> logged;
            for (const auto& line : f.log)
                if (line.starts_with("IMAP OUT"))
                    logged.push_back(line);
            EXPECT_EQ(logged, out);
            EXPECT_EQ(f.log.front(),
                      "IMAP IN : * OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready.");
            EXPECT_NE(f.Logged().find("IMAP IN : Subject: Hello\n"), std::string::npos)
                << "a literal is logged line by line";
            f.ExpectNoSecretLogged();
        }
    }
}

TEST(ImapDialogue, AsksOnlyForWhatItNeeds)
{
    HeaderCache cache;
    cache.Add(ImapDialogue::CacheId(1700000000, 2), {"cached Ann", "cached"});
    cache.Add(ImapDialogue::CacheId(1600000000, 3), {"another validity", ""});
    HeaderCache all;
    for (const std::uint32_t uid : {2u, 3u})
        all.Add(ImapDialogue::CacheId(1700000000, uid), {"cached", ""});
    const std::string login = "a1 OK Logged in\r\n";
    const struct
    {
        const char* name;
        std::string replies;
        ImapOptions options;
        std::string sent;
        std::size_t records;
    } cases[] = {
        {"a greeting without capabilities",
         "* OK ready\r\n* CAPABILITY IMAP4rev1\r\na1 OK done\r\n",
         {},
         "a1 CAPABILITY\r\na2 LOGIN joe s3cret\r\n",
         0},
        {"no unseen message",
         kGreeting + login + kExamine + "* SEARCH\r\na3 OK done\r\n",
         {},
         "a1 LOGIN joe s3cret\r\na2 EXAMINE INBOX\r\na3 UID SEARCH UNSEEN\r\na4 LOGOUT\r\n",
         0},
        {"headers not wanted", kGreeting + login + kExamine + "* SEARCH 2 3\r\na3 OK done\r\n",
         Options(false, false),
         "a1 LOGIN joe s3cret\r\na2 EXAMINE INBOX\r\na3 UID SEARCH UNSEEN\r\na4 LOGOUT\r\n", 0},
        {"headers from the cache of this UIDVALIDITY only",
         kGreeting + login + kExamine + "* SEARCH 2 3\r\na3 OK done\r\n",
         Options(false, true, &cache),
         "a1 LOGIN joe s3cret\r\na2 EXAMINE INBOX\r\na3 UID SEARCH UNSEEN\r\n"
         "a4 UID FETCH 3 (FLAGS BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE)])\r\n",
         0},
        {"every header cached", kGreeting + login + kExamine + "* SEARCH 2 3\r\na3 OK done\r\n",
         Options(false, true, &all),
         "a1 LOGIN joe s3cret\r\na2 EXAMINE INBOX\r\na3 UID SEARCH UNSEEN\r\na4 LOGOUT\r\n", 2},
    };
    for (const auto& c : cases) {
        Fixture f(c.options);
        f.Receive(c.replies);
        EXPECT_EQ(f.transport.sent, c.sent) << c.name;
        EXPECT_FALSE(f.dialogue.MailFailed) << c.name;
        EXPECT_EQ(f.messages.size(), c.records) << c.name;
    }
}

TEST(ImapDialogue, FetchesHeadersInBatchesOfBoundedLength)
{
    Fixture f;
    std::string search = "* SEARCH";
    for (std::uint32_t uid = 1; uid <= 2 * ImapDialogue::kFetchBatch + 1; ++uid)
        search += " " + std::to_string(uid * 2); // no two in a row: no ranges
    f.Receive(kGreeting + "a1 OK\r\n" + kExamine + search + "\r\na3 OK\r\n");
    f.Receive("a4 OK\r\n");
    f.Receive("a5 OK\r\n");
    f.Receive("a6 OK\r\n");
    EXPECT_NE(f.transport.sent.find("a6 UID FETCH 2002 (FLAGS"), std::string::npos);
    EXPECT_NE(f.transport.sent.find("a7 LOGOUT"), std::string::npos);
    EXPECT_EQ(f.messages.size(), 2 * ImapDialogue::kFetchBatch + 1);
}

TEST(ImapDialogue, EndsWithTheStepAndTheServersWordsWhenRefusedOrCutOff)
{
    const std::string login = kGreeting + "a1 OK\r\n";
    const struct
    {
        const char* name;
        std::string replies;
        ImapStep step;
        MailFailure failure;
        const char* negativeReply;
    } cases[] = {
        {"BYE as greeting", "* BYE Too many connections\r\n", ImapStep::Connected,
         MailFailure::ClosedByServer, "* BYE Too many connections"},
        {"login refused", kGreeting + "a1 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n",
         ImapStep::LoginSent, MailFailure::Refused,
         "a1 NO [AUTHENTICATIONFAILED] Authentication failed."},
        {"no such folder", login + "a2 NO Mailbox doesn't exist: INBOX\r\n", ImapStep::ExamineSent,
         MailFailure::Refused, "a2 NO Mailbox doesn't exist: INBOX"},
        {"search refused", login + kExamine + "a3 BAD Error in IMAP command\r\n",
         ImapStep::SearchSent, MailFailure::Refused, "a3 BAD Error in IMAP command"},
        {"BYE while fetching",
         login + kExamine + "* SEARCH 4\r\na3 OK\r\n* BYE Server shutting down.\r\n",
         ImapStep::FetchSent, MailFailure::ClosedByServer, "* BYE Server shutting down."},
        {"a malformed reply", login + "* 1 FETCH (UID \"\r\n", ImapStep::ExamineSent,
         MailFailure::MalformedReply, ""},
        {"a search result that is no UID", login + kExamine + "* SEARCH 0\r\n",
         ImapStep::SearchSent, MailFailure::MalformedReply, ""},
        {"an endless literal",
         login + "* 1 FETCH (BODY[] {" + std::to_string(ImapResponseParser::kMaxLiteralLength + 1) +
             "}\r\n",
         ImapStep::ExamineSent, MailFailure::LineTooLong, ""},
        {"STARTTLS refused", "", ImapStep::StartTlsSent, MailFailure::Refused,
         "a1 BAD TLS is not available"},
    };
    for (const auto& c : cases) {
        const bool tls = c.step == ImapStep::StartTlsSent;
        Fixture f(Options(tls));
        f.Receive(tls ? kGreeting + "a1 BAD TLS is not available\r\n" : c.replies);
        EXPECT_TRUE(f.dialogue.MailFailed) << c.name;
        EXPECT_EQ(f.dialogue.MailState, c.step) << c.name;
        EXPECT_EQ(f.dialogue.Failure, c.failure) << c.name;
        EXPECT_EQ(f.dialogue.NegativeReply, c.negativeReply) << c.name;
        EXPECT_EQ(f.transport.closes, 1) << c.name;
        const auto sent = f.transport.sent;
        f.Receive("a9 OK\r\n* 3 EXISTS\r\n");
        EXPECT_EQ(f.transport.sent, sent) << c.name << ": nothing more after the end";
    }

    Fixture closed;
    closed.Receive(kGreeting);
    closed.dialogue.ConnectionClosed();
    EXPECT_EQ(closed.dialogue.Failure, MailFailure::ClosedByServer);
    EXPECT_EQ(closed.dialogue.MailState, ImapStep::LoginSent);
}

TEST(ImapDialogue, WritesCredentialsAsAtomsQuotedStringsOrLiteralsAndNeverLogsThePassword)
{
    const struct
    {
        const char* name;
        std::string password;
        const char* capabilities;
        std::vector<std::string> sends; // before and after each continuation request
        const char* logged;
    } cases[] = {
        {"an atom", "s3cret", "IMAP4rev1", {"a1 LOGIN joe s3cret\r\n"}, "a1 LOGIN joe ********"},
        {"quoted",
         "s3 \"cret\\",
         "IMAP4rev1",
         {"a1 LOGIN joe \"s3 \\\"cret\\\\\"\r\n"},
         "a1 LOGIN joe ********"},
        {"a literal for 8-bit bytes",
         "s\xc3\xa9"
         "cret",
         "IMAP4rev1",
         {"a1 LOGIN joe {7}\r\n", "s\xc3\xa9"
                                  "cret\r\n"},
         "a1 LOGIN joe ********"},
        {"a literal without waiting, with LITERAL+",
         "s\xc3\xa9"
         "cret",
         "IMAP4rev1 LITERAL+",
         {"a1 LOGIN joe {7+}\r\ns\xc3\xa9"
          "cret\r\n"},
         "a1 LOGIN joe ********"},
        {"AUTHENTICATE PLAIN where LOGINDISABLED",
         "s3cret",
         "IMAP4rev1 LOGINDISABLED AUTH=PLAIN",
         {"a1 AUTHENTICATE PLAIN\r\n", "AGpvZQBzM2NyZXQ=\r\n"},
         "a1 AUTHENTICATE PLAIN"},
    };
    for (const auto& c : cases) {
        Fixture f({}, c.password);
        f.Receive(std::string("* OK [CAPABILITY ") + c.capabilities + "] ready\r\n");
        std::string expected;
        for (std::size_t i = 0; i < c.sends.size(); ++i) {
            expected += c.sends[i];
            EXPECT_EQ(f.transport.sent, expected) << c.name << ", send " << i;
            if (i + 1 < c.sends.size())
                f.Receive("+ \r\n");
        }
        EXPECT_EQ(f.dialogue.MailState, ImapStep::LoginSent) << c.name;
        f.Receive("a1 OK Logged in\r\n");
        EXPECT_EQ(f.dialogue.MailState, ImapStep::ExamineSent) << c.name;
        EXPECT_NE(f.Logged().find(std::string("IMAP OUT: ") + c.logged + "\n"), std::string::npos)
            << c.name << "\n"
            << f.Logged();
        f.ExpectNoSecretLogged();
    }

    Fixture none;
    none.Receive("* OK [CAPABILITY IMAP4rev1 LOGINDISABLED] ready\r\n");
    EXPECT_TRUE(none.dialogue.MailFailed);
    EXPECT_EQ(none.dialogue.MailState, ImapStep::LoginSent);
    EXPECT_EQ(none.dialogue.Failure, MailFailure::Refused);
    EXPECT_EQ(none.transport.sent, "") << "no password goes where the server forbids it";
}

TEST(ImapDialogue, LogsInOnlyAfterTheTlsHandshakeAndForgetsWhatCameBefore)
{
    Fixture f(Options(true));
    f.Receive("* OK [CAPABILITY IMAP4rev1 STARTTLS LITERAL+] ready\r\n");
    EXPECT_EQ(f.transport.sent, "a1 STARTTLS\r\n");
    f.Receive("a1 OK Begin TLS negotiation now.\r\n* CAPABILITY IMAP4rev1 LOGINDISABLED\r\n");
    EXPECT_EQ(f.dialogue.MailState, ImapStep::TlsHandshake);
    EXPECT_EQ(f.transport.handshakes, 1);
    f.Receive("a2 OK injected in plain text\r\n");
    EXPECT_EQ(f.transport.sent, "a1 STARTTLS\r\n") << "nothing goes out before the handshake";

    f.dialogue.TlsEstablished();
    EXPECT_EQ(f.transport.sent, "a1 STARTTLS\r\na2 CAPABILITY\r\n")
        << "the capabilities are asked again";
    f.Receive("* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\na2 OK\r\n");
    EXPECT_EQ(f.transport.sent, "a1 STARTTLS\r\na2 CAPABILITY\r\na3 LOGIN joe s3cret\r\n");
    EXPECT_EQ(f.dialogue.Capabilities.count("LITERAL+"), 0u);
}

TEST(ImapDialogue, WaitsInIdleWhereTheServerHasItAndReportsNewMail)
{
    std::vector<std::string> changes;
    ImapOptions options;
    options.idle = true;
    options.mailboxChanged = [&](const std::string& name, std::uint32_t number) {
        changes.push_back(name + " " + std::to_string(number));
    };
    const std::string poll = kGreeting + "a1 OK\r\n" + kExamine + "* SEARCH\r\na3 OK\r\n";

    Fixture f(options);
    f.Receive(poll);
    EXPECT_TRUE(f.transport.sent.ends_with("a4 IDLE\r\n"));
    EXPECT_FALSE(f.dialogue.Idling());
    f.dialogue.Done(); // before the server accepted: DONE waits for its continuation request
    EXPECT_TRUE(f.transport.sent.ends_with("a4 IDLE\r\n"));
    f.Receive("+ idling\r\n");
    EXPECT_TRUE(f.transport.sent.ends_with("a4 IDLE\r\nDONE\r\n"));
    f.Receive("a4 OK Idle completed.\r\n* BYE\r\na5 OK\r\n");
    EXPECT_EQ(f.dialogue.MailState, ImapStep::Finished);

    Fixture g(options);
    g.Receive(poll + "+ idling\r\n");
    EXPECT_TRUE(g.dialogue.Idling());
    g.Receive("* 6 EXISTS\r\n* 1 RECENT\r\n* 2 EXPUNGE\r\n");
    EXPECT_EQ(changes, (std::vector<std::string>{"EXISTS 6", "RECENT 1"}));
    EXPECT_EQ(g.dialogue.Exists, 6u);
    g.dialogue.Done();
    EXPECT_TRUE(g.transport.sent.ends_with("a4 IDLE\r\nDONE\r\n"));
    EXPECT_FALSE(g.dialogue.Idling());
    g.Receive("* BYE Server shutting down.\r\n");
    EXPECT_EQ(g.dialogue.Failure, MailFailure::ClosedByServer);

    Fixture without(options);
    without.Receive("* OK [CAPABILITY IMAP4rev1] ready\r\na1 OK\r\n" + kExamine +
                    "* SEARCH\r\na3 OK\r\n");
    EXPECT_TRUE(without.transport.sent.ends_with("a4 LOGOUT\r\n"))
        << "without IDLE announced the poll just ends";
}

} // namespace
} // namespace vorlane
