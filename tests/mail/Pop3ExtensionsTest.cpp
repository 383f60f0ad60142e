// The dialogue with what today's servers announce in their answer to CAPA: UIDL with the
// header cache, PIPELINING; and with servers that announce nothing.
#include "Pop3TestSupport.h"
#include "mail/HeaderCache.h"
#include "mail/Pop3Dialogue.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

// A dialogue that asks CAPA (unless told otherwise), after the socket reported the connection.
struct Dialogue
{
    explicit Dialogue(bool displayHeaders = true, bool askCapabilities = true,
                      const HeaderCache* cache = nullptr)
    {
        dialogue.Start("joe", "s3cret", displayHeaders, messages, false, {askCapabilities, cache});
        dialogue.MailState = Pop3Step::Connected;
    }
    void Receive(std::string_view text) { dialogue.SplitReceivedLines(text); }
    int TopRequests() const
    {
        int count = 0;
        for (auto at = transport.sent.find("TOP "); at != std::string::npos;
             at = transport.sent.find("TOP ", at + 1))
            ++count;
        return count;
    }

    test::Pop3Recorder transport;
    std::vector<std::string> log;
    MailMessageList messages;
    Pop3Dialogue dialogue{transport, [this](const std::string& line) { log.push_back(line); }};
};

const std::string kLogin = "+OK ready\r\n";
const std::string kCapabilities = "+OK\r\nTOP\r\nUIDL\r\nPIPELINING\r\nUSER\r\n.\r\n";

std::string TopReply(int n)
{
    return "+OK\r\nFrom: Sender " + std::to_string(n) + "\r\nSubject: Subject " +
           std::to_string(n) + "\r\n\r\n.\r\n";
}

std::string UidlReply(int count)
{
    std::string reply = "+OK\r\n";
    for (int n = 1; n <= count; ++n)
        reply += std::to_string(n) + " uid-" + std::to_string(n) + "\r\n";
    return reply + ".\r\n";
}

TEST(Pop3Extensions, AServerThatRefusesCapaGetsTodaysDialogueByteForByte)
{
    // The same server, once without CAPA asked and once with it refused: after "CAPA" and its
    // refusal, the wire and the log are the same to the byte.
    const struct
    {
        const char* name;
        bool headers;
        std::string stream; // the server's replies after its answer to CAPA
    } cases[] = {
        {"with headers", true,
         "+OK\r\n+OK Logged in.\r\n+OK 2 320\r\n" + TopReply(1) + TopReply(2) + "+OK bye\r\n"},
        {"without headers", false, "+OK\r\n+OK Logged in.\r\n+OK 2 320\r\n+OK bye\r\n"},
        {"refusing TOP", true, "+OK\r\n+OK Logged in.\r\n+OK 2 320\r\n-ERR no TOP\r\n"},
    };
    for (const auto& c : cases) {
        Dialogue today(c.headers, false);
        today.Receive(kLogin + c.stream);
        Dialogue refused(c.headers, true);
        refused.Receive(kLogin + "-ERR Unknown command: CAPA\r\n" + c.stream);

        EXPECT_EQ(refused.transport.sent, "CAPA\r\n" + today.transport.sent) << c.name;
        auto log = refused.log;
        ASSERT_GE(log.size(), 3u) << c.name;
        EXPECT_EQ(log[1], "POP3 OUT: CAPA") << c.name;
        EXPECT_EQ(log[2], "POP3 IN : -ERR Unknown command: CAPA") << c.name;
        log.erase(log.begin() + 1, log.begin() + 3);
        EXPECT_EQ(log, today.log) << c.name;
        EXPECT_EQ(refused.messages, today.messages) << c.name;
        EXPECT_EQ(refused.dialogue.MailState, today.dialogue.MailState) << c.name;
        EXPECT_EQ(refused.dialogue.MailFailed, today.dialogue.MailFailed) << c.name;
        EXPECT_FALSE(refused.dialogue.UniqueIds) << c.name;
    }
    Dialogue today(true, false);
    today.Receive(kLogin);
    EXPECT_EQ(today.transport.sent, "USER joe\r\n") << "nothing asked without extensions";
}

TEST(Pop3Extensions, CachedHeadersAreNotFetchedAndEveryMessageIsListedInOrder)
{
    HeaderCache cache;
    cache.Add("uid-2", {"Cached <c@example.org>", "Known before"});
    Dialogue d(true, true, &cache);
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 3 999\r\n" + UidlReply(3));
    EXPECT_EQ(d.transport.sent, "CAPA\r\nUSER joe\r\nPASS s3cret\r\nSTAT\r\nUIDL\r\n"
                                "TOP 1 0\r\nTOP 3 0\r\n")
        << "both requests go out at once";
    EXPECT_EQ(d.dialogue.HeaderRequestsInFlight(), 2u);
    d.Receive(TopReply(1) + TopReply(3) + "+OK bye\r\n");
    EXPECT_TRUE(d.transport.sent.ends_with("TOP 3 0\r\nQUIT\r\n"));
    EXPECT_EQ(d.dialogue.MailState, Pop3Step::Finished);

    ASSERT_EQ(d.messages.size(), 3u);
    const std::vector<std::string> from = {"Sender 1", "Cached <c@example.org>", "Sender 3"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.messages[i].first, std::to_string(i + 1));
        EXPECT_EQ(d.messages[i].second.From, from[i]);
        EXPECT_EQ(d.dialogue.HeaderRecordIds().at(i), "uid-" + std::to_string(i + 1));
    }
    EXPECT_EQ(d.dialogue.UniqueIds, (std::vector<std::string>{"uid-1", "uid-2", "uid-3"}));
    const std::vector<std::string> out = {
        "POP3 OUT: CAPA", "POP3 OUT: USER joe", "POP3 OUT: PASS ********", "POP3 OUT: STAT",
        "POP3 OUT: UIDL", "POP3 OUT: TOP 1 0",  "POP3 OUT: TOP 3 0",       "POP3 OUT: QUIT"};
    std::vector<std::string> logged;
    for (const auto& line : d.log)
        if (line.starts_with("POP3 OUT"))
            logged.push_back(line);
    EXPECT_EQ(logged, out);
}

TEST(Pop3Extensions, AFullyCachedMailboxNeedsNoTopAtAll)
{
    HeaderCache cache;
    for (int n = 1; n <= 3; ++n)
        cache.Add("uid-" + std::to_string(n), {"From " + std::to_string(n), ""});
    Dialogue d(true, true, &cache);
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 3 999\r\n" + UidlReply(3));
    EXPECT_TRUE(d.transport.sent.ends_with("STAT\r\nUIDL\r\nQUIT\r\n")) << d.transport.sent;
    ASSERT_EQ(d.messages.size(), 3u);
    EXPECT_EQ(d.messages[2].second.From, "From 3");
    EXPECT_EQ(d.dialogue.CompleteHeaderRecords(), 3u);
}

TEST(Pop3Extensions, PipelinedRequestsStayWithinTheWindowAndRepliesFillTheirRecords)
{
    constexpr int kCount = 200;
    Dialogue d;
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK " + std::to_string(kCount) +
              " 99999\r\n" + UidlReply(kCount));
    EXPECT_EQ(d.TopRequests(), static_cast<int>(Pop3Dialogue::kPipelineWindow));
    for (int n = 1; n <= kCount; ++n) {
        ASSERT_LE(d.dialogue.HeaderRequestsInFlight(), Pop3Dialogue::kPipelineWindow);
        ASSERT_EQ(d.dialogue.CompleteHeaderRecords(), static_cast<std::size_t>(n - 1));
        ASSERT_EQ(d.dialogue.TopIndex, n) << "the reply awaited first";
        // Each reply cut in two, so that the record being filled changes between reads.
        const auto reply = TopReply(n);
        d.Receive(reply.substr(0, 9));
        d.Receive(reply.substr(9));
    }
    EXPECT_EQ(d.TopRequests(), kCount);
    EXPECT_TRUE(d.transport.sent.ends_with("TOP 200 0\r\nQUIT\r\n"));
    ASSERT_EQ(d.messages.size(), static_cast<std::size_t>(kCount));
    for (int n = 1; n <= kCount; ++n)
        ASSERT_EQ(d.messages[static_cast<std::size_t>(n - 1)].second.Subject,
                  "Subject " + std::to_string(n));
}

TEST(Pop3Extensions, WithoutPipeliningEachRequestWaitsForTheReplyBeforeIt)
{
    HeaderCache cache;
    cache.Add("uid-2", {"Cached", ""});
    Dialogue d(true, true, &cache);
    d.Receive(kLogin + "+OK\r\nUIDL\r\n.\r\n+OK\r\n+OK\r\n+OK 3 999\r\n" + UidlReply(3));
    EXPECT_TRUE(d.transport.sent.ends_with("UIDL\r\nTOP 1 0\r\n"));
    d.Receive(TopReply(1));
    EXPECT_TRUE(d.transport.sent.ends_with("TOP 1 0\r\nTOP 3 0\r\n")) << "the cached one skipped";
    d.Receive(TopReply(3));
    EXPECT_TRUE(d.transport.sent.ends_with("TOP 3 0\r\nQUIT\r\n"));
    EXPECT_EQ(d.messages.size(), 3u);
}

TEST(Pop3Extensions, AListingThatCannotBeTrustedFetchesEveryHeader)
{
    HeaderCache cache;
    cache.Add("a", {"Cached a", ""});
    cache.Add("b", {"Cached b", ""});
    const struct
    {
        const char* name;
        std::string listing;
    } cases[] = {
        {"UIDL refused", "-ERR not now\r\n"},
        {"one id for two messages", "+OK\r\n1 a\r\n2 a\r\n.\r\n"},
        {"one message listed twice", "+OK\r\n1 a\r\n1 b\r\n2 b\r\n.\r\n"},
    };
    for (const auto& c : cases) {
        Dialogue d(true, true, &cache);
        d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 2 20\r\n" + c.listing);
        EXPECT_FALSE(d.dialogue.MailFailed) << c.name;
        EXPECT_FALSE(d.dialogue.UniqueIds) << c.name;
        EXPECT_TRUE(d.transport.sent.ends_with("UIDL\r\nTOP 1 0\r\nTOP 2 0\r\n")) << c.name;
    }
    // Lines of another form, ids of other characters or messages out of range are passed over:
    // those messages have no id and are fetched, the others come from the cache.
    Dialogue d(true, true, &cache);
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 3 30\r\n" +
              "+OK\r\n1 a\r\n2\r\n3 b\r\n4 c\r\nx d\r\n.\r\n");
    EXPECT_EQ(d.dialogue.UniqueIds, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(d.transport.sent.ends_with("UIDL\r\nTOP 2 0\r\n")) << d.transport.sent;
}

TEST(Pop3Extensions, WithoutHeadersTheListingAloneIsAsked)
{
    Dialogue d(false);
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 2 20\r\n" + UidlReply(2) + "+OK\r\n");
    EXPECT_EQ(d.transport.sent, "CAPA\r\nUSER joe\r\nPASS s3cret\r\nSTAT\r\nUIDL\r\nQUIT\r\n");
    EXPECT_EQ(d.dialogue.UniqueIds, (std::vector<std::string>{"uid-1", "uid-2"}));
    EXPECT_TRUE(d.messages.empty());
    EXPECT_EQ(d.dialogue.MailState, Pop3Step::Finished);

    Dialogue empty(false);
    empty.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 0 0\r\n");
    EXPECT_TRUE(empty.transport.sent.ends_with("STAT\r\nQUIT\r\n")) << "nothing to list";
    EXPECT_EQ(empty.dialogue.UniqueIds, std::vector<std::string>{});
}

TEST(Pop3Extensions, TheListingCoversOnlyTheMessagesWhoseHeadersMayBeFetched)
{
    Dialogue d;
    d.Receive(kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 2147483647 1\r\n+OK\r\n");
    for (int i = 0; i < 1000; ++i)
        d.Receive(std::to_string(2147483647 - i) + " id" + std::to_string(i) + "\r\n");
    d.Receive("1 oldest\r\n.\r\n");
    ASSERT_TRUE(d.dialogue.UniqueIds);
    EXPECT_EQ(d.dialogue.UniqueIds->size(),
              static_cast<std::size_t>(Pop3Dialogue::kMaxHeaderRecords));
    EXPECT_EQ(d.dialogue.UniqueIds->back(), "id0");
    EXPECT_NE(d.transport.sent.find("TOP 2147478648 0\r\n"), std::string::npos);
}

TEST(Pop3Extensions, StlsAsksCapaOnlyOnceEncrypted)
{
    test::Pop3Recorder transport;
    MailMessageList messages;
    Pop3Dialogue dialogue(transport, [](const std::string&) {});
    dialogue.Start("joe", "s3cret", true, messages, true, {true, nullptr});
    dialogue.MailState = Pop3Step::Connected;
    dialogue.SplitReceivedLines("+OK ready\r\n+OK Begin TLS\r\n");
    EXPECT_EQ(transport.sent, "STLS\r\n");
    dialogue.TlsEstablished();
    dialogue.SplitReceivedLines(kCapabilities);
    EXPECT_EQ(transport.sent, "STLS\r\nCAPA\r\nUSER joe\r\n");
    EXPECT_TRUE(dialogue.Capabilities.Uidl);
    EXPECT_TRUE(dialogue.Capabilities.Pipelining);
}

TEST(Pop3Extensions, FullStopsBeforeAnAnswerEndNothingAndRefusalsAfterItFail)
{
    Dialogue early;
    early.Receive(kLogin + ".\r\n.\r\n" + kCapabilities);
    EXPECT_EQ(early.transport.sent, "CAPA\r\nUSER joe\r\n") << "the full stops belonged to nothing";

    const struct
    {
        const char* name;
        std::string stream;
        Pop3Step state;
    } cases[] = {
        {"inside the capabilities", kLogin + "+OK\r\nUIDL\r\n-ERR gone\r\n", Pop3Step::CapaSent},
        {"inside the listing",
         kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 1 1\r\n+OK\r\n-ERR x\r\n", Pop3Step::UidlSent},
        {"a pipelined TOP",
         kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 2 1\r\n" + UidlReply(2) + TopReply(1) +
             "-ERR no such message\r\n",
         Pop3Step::ReceivingHeaders},
    };
    for (const auto& c : cases) {
        Dialogue d;
        d.Receive(c.stream);
        EXPECT_TRUE(d.dialogue.MailFailed) << c.name;
        EXPECT_EQ(d.dialogue.Failure, MailFailure::Refused) << c.name;
        EXPECT_EQ(d.dialogue.MailState, c.state) << c.name;
    }
}

TEST(Pop3Extensions, FoldedHeaderLinesAreKeptWithTheirLineBreaks)
{
    Dialogue d(true, false);
    d.Receive(kLogin + "+OK\r\n+OK\r\n+OK 1 10\r\n+OK\r\nSubject: =?UTF-8?Q?first?=\r\n"
                       " =?UTF-8?Q?second?=\r\n\tthird\r\nX-Other: x\r\n continued other\r\n"
                       "From: Ann\r\n <ann@example.org>\r\n\r\n.\r\n");
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].second.Subject, "=?UTF-8?Q?first?=\r\n =?UTF-8?Q?second?=\r\n\tthird");
    EXPECT_EQ(d.messages[0].second.From, "Ann\r\n <ann@example.org>");

    Dialogue endless(true, false);
    endless.Receive(kLogin + "+OK\r\n+OK\r\n+OK 1 10\r\n+OK\r\nSubject: s\r\n");
    for (int i = 0; i < 500; ++i)
        endless.Receive(" more folded text\r\n");
    EXPECT_EQ(endless.messages[0].second.Subject.size(), Pop3Dialogue::kMaxHeaderValueLength);
}

// What one whole stream gives, to compare with the same stream cut into reads.
std::tuple<std::string, Pop3Step, bool, MailMessageList, std::vector<std::string>>
Play(const std::vector<std::string>& reads, const HeaderCache& cache)
{
    Dialogue d(true, true, &cache);
    for (const auto& read : reads)
        d.Receive(read);
    return {d.transport.sent, d.dialogue.MailState, d.dialogue.MailFailed, d.messages, d.log};
}

TEST(Pop3Extensions, OneStreamGivesOneResultHoweverItIsCut)
{
    HeaderCache cache;
    cache.Add("uid-2", {"Cached", ""});
    const std::string streams[] = {
        kLogin + kCapabilities + "+OK\r\n+OK\r\n+OK 3 30\r\n" + UidlReply(3) + TopReply(1) +
            TopReply(3) + "+OK\r\n",
        kLogin + "-ERR\r\n+OK\r\n+OK\r\n+OK 1 3\r\n" + TopReply(1) + "+OK\r\n",
        kLogin + ".\r\n+OK\r\nuidl\r\n.\r\n+OK\r\n+OK\r\n+OK 2 3\r\n.\r\n-ERR\r\n" + TopReply(1),
    };
    for (const auto& stream : streams) {
        const auto whole = Play({stream}, cache);
        test::ForEveryTwoCuts(stream, 3, [&](const auto& reads, const std::string& where) {
            ASSERT_EQ(Play(reads, cache), whole) << where << " of " << stream;
        });
    }
}

} // namespace
} // namespace vorlane
