#include "mail/Pop3Dialogue.h"

#include "Pop3TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Recorder = test::Pop3Recorder;

struct Fixture
{
    explicit Fixture(bool displayHeaders = false)
    {
        dialogue.Start("joe", "s3cret", displayHeaders, messages);
        dialogue.MailState = Pop3Step::Connected; // the socket reports the connection
    }
    void Receive(std::string_view text) { dialogue.SplitReceivedLines(text); }

    Recorder transport;
    std::vector<std::string> log;
    MailMessageList messages;
    Pop3Dialogue dialogue{transport, [this](const std::string& line) { log.push_back(line); }};
};

TEST(Pop3Dialogue, FetchesTheHeadersOfEveryMessageThenQuits)
{
    Fixture f(true);
    f.Receive("+OK Dovecot ready.\r\n");
    f.Receive("+OK\r\n");
    f.Receive("+OK Logged in.\r\n");
    f.Receive("+OK 2 320\r\n");
    f.Receive(
        "+OK\r\nReturn-Path: <ann@example.org>\r\nFrom: Ann <ann@example.org>\r\nSubject: Hello\r\n"
        "\tcontinued\r\nsubject: Hello again\r\n\r\n.\r\n");
    ASSERT_EQ(f.dialogue.MailState, Pop3Step::ReceivingHeaders);
    f.Receive("+OK\r\nFROM: Bob\r\n\r\n.\r\n");
    f.Receive("+OK Logging out.\r\n");

    EXPECT_EQ(f.transport.sent,
              "USER joe\r\nPASS s3cret\r\nSTAT\r\nTOP 1 0\r\nTOP 2 0\r\nQUIT\r\n");
    EXPECT_EQ(f.dialogue.MailState, Pop3Step::Finished);
    EXPECT_FALSE(f.dialogue.MailFailed);
    EXPECT_EQ(f.transport.closes, 1);
    EXPECT_EQ(f.dialogue.StatCount, 2);
    EXPECT_EQ(f.dialogue.StatSize, 320);
    ASSERT_EQ(f.messages.size(), 2u);
    EXPECT_EQ(f.messages[0].first, "1");
    EXPECT_EQ(f.messages[0].second.From, "Ann <ann@example.org>");
    EXPECT_EQ(f.messages[0].second.Subject, "Hello again")
        << "a later line overwrites, a folded one is not added";
    EXPECT_EQ(f.messages[1].first, "2");
    EXPECT_EQ(f.messages[1].second.From, "Bob");
    EXPECT_EQ(f.messages[1].second.Subject, "");

    const std::vector<std::string> out = {"POP3 OUT: USER joe", "POP3 OUT: PASS ********",
                                          "POP3 OUT: STAT",     "POP3 OUT: TOP 1 0",
                                          "POP3 OUT: TOP 2 0",  "POP3 OUT: QUIT"};
    std::vector<std::string> logged;
    for (const auto& line : f.log)
        if (line.starts_with("POP3 OUT"))
            logged.push_back(line);
    EXPECT_EQ(logged, out);
    EXPECT_EQ(f.log.front(), "POP3 IN : +OK Dovecot ready.");
    for (const auto& line : f.log)
        EXPECT_EQ(line.find("s3cret"), std::string::npos) << line;
}

TEST(Pop3Dialogue, HeaderLinesNeedTheBlankAfterTheColon)
{
    Fixture f(true);
    f.Receive("+OK\r\n+OK\r\n+OK\r\n+OK 1 10\r\n+OK\r\nfrom:Ann\r\nsUbJeCt: Mixed Case\r\n.\r\n");
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].second.From, "");
    EXPECT_EQ(f.messages[0].second.Subject, "Mixed Case");
    EXPECT_EQ(f.dialogue.MailState, Pop3Step::QuitSent);
}

TEST(Pop3Dialogue, SplitsLinesHoweverTheyArrive)
{
    const struct
    {
        const char* name;
        std::vector<std::string> reads;
    } cases[] = {
        {"one line per read",
         {"+OK hi\r\n", "+OK\r\n", "+OK\r\n", "+OK 3 4512 messages\r\n", "+OK bye\r\n"}},
        {"all in one read", {"+OK hi\r\n+OK\r\n+OK\r\n+OK 3 4512 messages\r\n+OK bye\r\n"}},
        {"split inside lines",
         {"+O", "K hi\r", "\n+OK\r\n+", "OK\r\n+OK 3 45", "12 messages\r\n+OK bye", "\r\n"}},
        {"CR alone ends a line", {"+OK hi\r+OK\r+OK\r+OK 3 4512 messages\r+OK bye\r"}},
        {"CR and LF in two reads",
         {"+OK hi\r", "\n+OK\r", "\n+OK\r\n+OK 3 4512 messages\r", "\n+OK bye\r\n"}},
        {"lower-case replies", {"+ok hi\r\n+ok\r\n+oK\r\n+Ok 3 4512 messages\r\n+ok bye\r\n"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        for (const auto& read : c.reads)
            f.Receive(read);
        EXPECT_EQ(f.transport.sent, "USER joe\r\nPASS s3cret\r\nSTAT\r\nQUIT\r\n") << c.name;
        EXPECT_EQ(f.dialogue.MailState, Pop3Step::Finished) << c.name;
        EXPECT_EQ(f.dialogue.StatCount, 3) << c.name;
        EXPECT_EQ(f.dialogue.StatSize, 4512) << c.name;
        EXPECT_TRUE(f.dialogue.ReceiveBuffer.empty()) << c.name;
        EXPECT_EQ(f.log.size(), 9u) << c.name << ": every line handled once";
    }
}

TEST(Pop3Dialogue, NegativeRepliesFailAtTheStateReached)
{
    const struct
    {
        const char* name;
        const char* replies;
        Pop3Step state;
        bool busy;
    } cases[] = {
        {"negative greeting", "-ERR go away\r\n", Pop3Step::Connected, false},
        {"unknown user", "+OK\r\n-ERR no such user\r\n", Pop3Step::UserSent, false},
        {"wrong password", "+OK\r\n+OK\r\n-ERR [AUTH] Authentication failed.\r\n",
         Pop3Step::PasswordSent, false},
        {"busy in lower case", "+OK\r\n+OK\r\n-err mailbox busy\r\n", Pop3Step::PasswordSent, true},
        {"locked by another session", "+OK\r\n+OK\r\n-ERR [IN-USE] Mailbox locked\r\n",
         Pop3Step::PasswordSent, true},
        {"stat refused", "+OK\r\n+OK\r\n+OK\r\n-ERR no\r\n", Pop3Step::StatSent, false},
        {"stat with two blanks", "+OK\r\n+OK\r\n+OK\r\n+OK  2 320\r\n", Pop3Step::StatSent, false},
        {"stat without size", "+OK\r\n+OK\r\n+OK\r\n+OK 2\r\n", Pop3Step::StatSent, false},
        {"stat count too large", "+OK\r\n+OK\r\n+OK\r\n+OK 2147483648 1\r\n", Pop3Step::StatSent,
         false},
        {"top refused", "+OK\r\n+OK\r\n+OK\r\n+OK 2 320\r\n-ERR no TOP here\r\n",
         Pop3Step::ReceivingHeaders, false},
        {"quit refused", "+OK\r\n+OK\r\n+OK\r\n+OK 0 0\r\n-ERR stay\r\n", Pop3Step::QuitSent,
         false},
    };
    for (const auto& c : cases) {
        Fixture f(true);
        f.Receive(c.replies);
        EXPECT_TRUE(f.dialogue.MailFailed) << c.name;
        EXPECT_EQ(f.dialogue.MailBusy, c.busy) << c.name;
        EXPECT_EQ(f.dialogue.MailState, c.state) << c.name;
    }
}

TEST(Pop3Dialogue, EmptyMailboxQuitsAtOnceEvenWithHeadersOn)
{
    Fixture f(true);
    f.Receive("+OK\r\n+OK\r\n+OK\r\n+OK 0 0\r\n");
    EXPECT_TRUE(f.transport.sent.ends_with("STAT\r\nQUIT\r\n"));
    EXPECT_TRUE(f.messages.empty());
    EXPECT_EQ(f.dialogue.MailState, Pop3Step::QuitSent);
}

TEST(Pop3Dialogue, LinesOutsideTheDialogueChangeNothing)
{
    Fixture f;
    for (Pop3Step state :
         {Pop3Step::NotStarted, Pop3Step::Resolving, Pop3Step::Connecting, Pop3Step::Finished}) {
        f.dialogue.MailState = state;
        f.Receive("+OK\r\nnoise\r\n");
        EXPECT_EQ(f.dialogue.MailState, state);
    }
    EXPECT_TRUE(f.transport.sent.empty());
    EXPECT_FALSE(f.dialogue.MailFailed);
}

TEST(Pop3Dialogue, EndlessOrHugeLinesFailAtOnce)
{
    const std::string huge(Pop3Dialogue::kMaxLineLength + 1, 'x');
    for (const auto& reads : {std::vector<std::string>{huge.substr(0, 40000), huge.substr(40000)},
                              std::vector<std::string>{"+OK\r\n" + huge + "\r\n"}}) {
        Fixture f;
        for (const auto& read : reads)
            f.Receive(read);
        EXPECT_TRUE(f.dialogue.MailFailed);
        EXPECT_EQ(f.transport.closes, 1);
        EXPECT_TRUE(f.dialogue.ReceiveBuffer.empty());
    }
    Fixture f;
    f.Receive(std::string(Pop3Dialogue::kMaxLineLength, 'x'));
    EXPECT_FALSE(f.dialogue.MailFailed) << "a line of the limit itself may still end";
}

// What one whole stream gives, to compare with the same stream cut into reads.
struct Outcome
{
    std::string sent;
    Pop3Step state;
    bool failed;
    MailFailure failure;
    int statCount;
    MailMessageList messages;
    std::vector<std::string> log;
};

Outcome Play(const std::vector<std::string>& reads, bool headers)
{
    Fixture f(headers);
    for (const auto& read : reads)
        f.Receive(read);
    return {f.transport.sent,
            f.dialogue.MailState,
            f.dialogue.MailFailed,
            f.dialogue.Failure,
            f.dialogue.StatCount,
            f.messages,
            f.log};
}

TEST(Pop3Dialogue, OneStreamGivesOneResultHoweverItIsCut)
{
    const struct
    {
        const char* name;
        std::string stream;
    } cases[] = {
        {"CR LF then an LF that starts a line", "+OK hi\r\n\n+OK\r\n+OK\r\n+OK 1 10\r\n"},
        {"CR alone then LF LF", "+OK hi\r\n\n\r+OK\r+OK\r+OK 0 0\r+OK bye\r"},
        {"lines after a refusal", "+OK hi\r\n-ERR go away\r\n+OK\r\n+OK\r\n"},
        {"headers with empty lines",
         "+OK\r\n+OK\r\n+OK\r\n+OK 2 20\r\n+OK\r\nFrom: A\r\n\r\n.\r\n+OK\r\n"
         "Subject: B\r\n.\r\n+OK\r\n"},
        {"full stops before the answer", "+OK\r\n+OK\r\n+OK\r\n+OK 2 20\r\n.\r\n.\r\n.\r\n"},
        {"quit answered", "+OK\r\n+OK\r\n+OK\r\n+OK 0 0\r\n+OK\r\n+OK\r\n"},
    };
    for (const auto& c : cases) {
        const auto whole = Play({c.stream}, true);
        test::ForEveryTwoCuts(c.stream, 1, [&](const auto& reads, const std::string& where) {
            const auto cut = Play(reads, true);
            ASSERT_EQ(cut.sent, whole.sent) << c.name << ", " << where;
            ASSERT_EQ(cut.state, whole.state) << c.name << ", " << where;
            ASSERT_EQ(cut.failed, whole.failed) << c.name << ", " << where;
            ASSERT_EQ(cut.failure, whole.failure) << c.name << ", " << where;
            ASSERT_EQ(cut.messages.size(), whole.messages.size()) << c.name << ", " << where;
            ASSERT_EQ(cut.log, whole.log) << c.name << ", " << where;
        });
    }
}

TEST(Pop3Dialogue, AnEndedDialogueTakesNoFurtherLinesFromTheSameRead)
{
    Fixture f;
    f.Receive("+OK hi\r\n-ERR go away\r\n+OK\r\n+OK\r\n");
    EXPECT_EQ(f.transport.sent, "USER joe\r\n");
    EXPECT_EQ(f.dialogue.MailState, Pop3Step::UserSent);
    EXPECT_EQ(f.dialogue.Failure, MailFailure::Refused);
    EXPECT_EQ(f.log.size(), 3u) << "the lines after the refusal are not even logged";
}

TEST(Pop3Dialogue, AFullStopEndsHeadersOnlyAfterTheirRequestWasAnswered)
{
    // A server that announces more messages than exist and then streams full stops.
    Fixture f(true);
    f.Receive("+OK\r\n+OK\r\n+OK\r\n+OK 2147483647 1\r\n");
    std::string dots;
    for (int i = 0; i < 10000; ++i)
        dots += ".\r\n";
    f.Receive(dots);
    EXPECT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(std::count(f.transport.sent.begin(), f.transport.sent.end(), '\n'), 4)
        << "USER, PASS, STAT and one TOP: " << f.transport.sent;
    EXPECT_FALSE(f.dialogue.MailFailed);
}

TEST(Pop3Dialogue, HeadersAreFetchedForTheNewestMessagesUpToTheLimit)
{
    Fixture f(true);
    f.Receive("+OK\r\n+OK\r\n+OK\r\n+OK 100000 1\r\n");
    const std::string longSubject(5000, 's');
    for (int i = 0; i < Pop3Dialogue::kMaxHeaderRecords; ++i)
        f.Receive("+OK\r\nFrom: a\r\nSubject: " + longSubject + "\r\n.\r\n");
    ASSERT_EQ(f.messages.size(), static_cast<std::size_t>(Pop3Dialogue::kMaxHeaderRecords));
    EXPECT_EQ(f.messages.front().first, "95001");
    EXPECT_EQ(f.messages.back().first, "100000");
    EXPECT_EQ(f.messages.back().second.Subject.size(), Pop3Dialogue::kMaxHeaderValueLength);
    EXPECT_EQ(f.dialogue.MailState, Pop3Step::QuitSent);
    EXPECT_TRUE(f.transport.sent.ends_with("TOP 100000 0\r\nQUIT\r\n"));
    EXPECT_NE(f.transport.sent.find("STAT\r\nTOP 95001 0\r\n"), std::string::npos);
}

TEST(Pop3Dialogue, EachFailureKnowsItsCause)
{
    const std::string huge(Pop3Dialogue::kMaxLineLength + 1, 'x');
    const struct
    {
        const char* name;
        std::string replies;
        Pop3Step state;
        MailFailure failure;
    } cases[] = {
        {"endless greeting", huge, Pop3Step::Connected, MailFailure::LineTooLong},
        {"endless line after USER", "+OK\r\n" + huge + "\r\n", Pop3Step::UserSent,
         MailFailure::LineTooLong},
        {"negative sizes", "+OK\r\n+OK\r\n+OK\r\n+OK -5 -100\r\n", Pop3Step::StatSent,
         MailFailure::InvalidStat},
        {"signed count", "+OK\r\n+OK\r\n+OK\r\n+OK +5 100\r\n", Pop3Step::StatSent,
         MailFailure::InvalidStat},
        {"tab before the count", "+OK\r\n+OK\r\n+OK\r\n+OK \t5 100\r\n", Pop3Step::StatSent,
         MailFailure::InvalidStat},
        {"count out of range", "+OK\r\n+OK\r\n+OK\r\n+OK 99999999999 1\r\n", Pop3Step::StatSent,
         MailFailure::InvalidStat},
        {"refusal", "+OK\r\n-ERR no\r\n", Pop3Step::UserSent, MailFailure::Refused},
    };
    for (const auto& c : cases) {
        Fixture f(true);
        f.Receive(c.replies);
        EXPECT_TRUE(f.dialogue.MailFailed) << c.name;
        EXPECT_EQ(f.dialogue.MailState, c.state) << c.name;
        EXPECT_EQ(f.dialogue.Failure, c.failure) << c.name;
    }
}

TEST(Pop3Dialogue, AClosedConnectionEndsOnlyADialogueThatHasNotEnded)
{
    Fixture open;
    open.Receive("+OK\r\n");
    open.dialogue.ConnectionClosed();
    EXPECT_TRUE(open.dialogue.MailFailed);
    EXPECT_EQ(open.dialogue.Failure, MailFailure::ClosedByServer);
    EXPECT_EQ(open.dialogue.MailState, Pop3Step::UserSent);

    Fixture refused;
    refused.Receive("-ERR no\r\n");
    refused.dialogue.ConnectionClosed();
    EXPECT_EQ(refused.dialogue.Failure, MailFailure::Refused);

    Fixture finished;
    finished.Receive("+OK\r\n+OK\r\n+OK\r\n+OK 0 0\r\n+OK bye\r\n");
    finished.dialogue.ConnectionClosed();
    EXPECT_FALSE(finished.dialogue.MailFailed);
    EXPECT_EQ(finished.dialogue.MailState, Pop3Step::Finished);
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(Pop3Dialogue, StlsLogsInOnlyOnceTheConnectionIsEncrypted)
{
    Recorder transport;
    std::vector<std::string> log;
    MailMessageList messages;
    Pop3Dialogue dialogue(transport, [&](const std::string& line) { log.push_back(line); });
    dialogue.Start("joe", "s3cret", false, messages, true);
    dialogue.MailState = Pop3Step::Connected;
    // Plain text that follows the "+OK" to STLS in the same read must not be taken for a reply.
    dialogue.SplitReceivedLines("+OK ready\r\n");
    dialogue.SplitReceivedLines("+OK Begin TLS\r\n+OK injected\r\n");
    EXPECT_EQ(transport.sent, "STLS\r\n");
    EXPECT_EQ(dialogue.MailState, Pop3Step::TlsHandshake);
    EXPECT_EQ(transport.handshakes, 1);
    EXPECT_TRUE(dialogue.ReceiveBuffer.empty());

    dialogue.TlsEstablished();
    EXPECT_EQ(transport.sent, "STLS\r\nUSER joe\r\n");
    EXPECT_EQ(dialogue.MailState, Pop3Step::UserSent);
    dialogue.TlsEstablished(); // only once
    EXPECT_EQ(transport.sent, "STLS\r\nUSER joe\r\n");
    EXPECT_NE(std::find(log.begin(), log.end(), "POP3 OUT: STLS"), log.end());
}

TEST(Pop3Dialogue, ARefusedStlsFailsBeforeAnyLogin)
{
    Recorder transport;
    MailMessageList messages;
    Pop3Dialogue dialogue(transport, [](const std::string&) {});
    dialogue.Start("joe", "s3cret", false, messages, true);
    dialogue.MailState = Pop3Step::Connected;
    dialogue.SplitReceivedLines("+OK ready\r\n-ERR Unknown command\r\n");
    EXPECT_TRUE(dialogue.MailFailed);
    EXPECT_EQ(dialogue.MailState, Pop3Step::StlsSent);
    EXPECT_EQ(transport.sent, "STLS\r\n");
    EXPECT_EQ(transport.handshakes, 0);
}

} // namespace
} // namespace vorlane
