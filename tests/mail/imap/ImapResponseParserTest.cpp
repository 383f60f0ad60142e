#include "mail/imap/ImapResponseParser.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Error = ImapResponseParser::Error;
using Kind = ImapValue::Kind;

struct Outcome
{
    std::vector<ImapResponse> responses;
    Error error = Error::None;
};

Outcome Parse(const std::vector<std::string_view>& reads)
{
    ImapResponseParser parser;
    Outcome outcome;
    for (const auto read : reads)
        parser.Feed(read, [&](ImapResponse&& response) {
            outcome.responses.push_back(std::move(response));
            return true;
        });
    outcome.error = parser.LastError();
    return outcome;
}

// The same responses and error however the stream is cut: into two reads at every position,
// and byte by byte (a long stream only at a few places).
Outcome ParseEveryWay(std::string_view stream)
{
    const auto whole = Parse({stream});
    const std::size_t step = stream.size() < 4096 ? 1 : stream.size() / 7;
    for (std::size_t cut = 0; cut <= stream.size(); cut += step) {
        const auto pieces = Parse({stream.substr(0, cut), stream.substr(cut)});
        EXPECT_EQ(pieces.error, whole.error) << "cut at " << cut;
        if (pieces.responses.size() != whole.responses.size()) {
            ADD_FAILURE() << "cut at " << cut << " gives " << pieces.responses.size()
                          << " responses instead of " << whole.responses.size();
            continue;
        }
        for (std::size_t i = 0; i < whole.responses.size(); ++i)
            EXPECT_EQ(pieces.responses[i].raw, whole.responses[i].raw) << "cut at " << cut;
    }
    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < stream.size() && step == 1; ++i)
        bytes.push_back(stream.substr(i, 1));
    if (!bytes.empty()) {
        const auto single = Parse(bytes);
        EXPECT_EQ(single.responses.size(), whole.responses.size()) << "byte by byte";
        EXPECT_EQ(single.error, whole.error) << "byte by byte";
    }
    return whole;
}

ImapValue Atom(std::string text)
{
    return {Kind::Atom, std::move(text), 0, {}};
}
ImapValue Number(std::uint64_t number)
{
    return {Kind::Number, std::to_string(number), number, {}};
}
ImapValue String(std::string text)
{
    return {Kind::String, std::move(text), 0, {}};
}
ImapValue Nil()
{
    return {Kind::Nil, "", 0, {}};
}
ImapValue List(std::vector<ImapValue> items)
{
    return {Kind::List, "", 0, std::move(items)};
}

TEST(ImapResponseParser, StatusResponsesGiveTheirCodeAndText)
{
    const struct
    {
        const char* stream;
        ImapResponse::Kind kind;
        const char* tag;
        const char* name;
        const char* code;
        const char* codeArguments;
        const char* text;
    } cases[] = {
        {"* OK [CAPABILITY IMAP4rev1 IDLE AUTH=PLAIN] Dovecot ready.\r\n",
         ImapResponse::Kind::Untagged, "", "OK", "CAPABILITY", "IMAP4rev1 IDLE AUTH=PLAIN",
         "Dovecot ready."},
        {"a2 NO [AUTHENTICATIONFAILED] Authentication failed.\r\n", ImapResponse::Kind::Tagged,
         "a2", "NO", "AUTHENTICATIONFAILED", "", "Authentication failed."},
        {"a3 ok [READ-ONLY] Examine completed\r\n", ImapResponse::Kind::Tagged, "a3", "OK",
         "READ-ONLY", "", "Examine completed"},
        {"* ok [uidvalidity 3857529045] UIDs valid\r\n", ImapResponse::Kind::Untagged, "", "OK",
         "UIDVALIDITY", "3857529045", "UIDs valid"},
        {"* BYE Server shutting down {5}\r\n", ImapResponse::Kind::Untagged, "", "BYE", "", "",
         "Server shutting down {5}"},
        {"a9 BAD\r\n", ImapResponse::Kind::Tagged, "a9", "BAD", "", "", ""},
        {"* PREAUTH hello\n", ImapResponse::Kind::Untagged, "", "PREAUTH", "", "", "hello"},
        {"+ idling\r\n", ImapResponse::Kind::Continuation, "", "", "", "", "idling"},
        {"+\r\n", ImapResponse::Kind::Continuation, "", "", "", "", ""},
        {"+ {7}\r\n", ImapResponse::Kind::Continuation, "", "", "", "", "{7}"},
    };
    for (const auto& c : cases) {
        const auto outcome = ParseEveryWay(c.stream);
        ASSERT_EQ(outcome.error, Error::None) << c.stream;
        ASSERT_EQ(outcome.responses.size(), 1u) << c.stream;
        const auto& r = outcome.responses[0];
        EXPECT_EQ(r.kind, c.kind) << c.stream;
        EXPECT_EQ(r.tag, c.tag) << c.stream;
        EXPECT_EQ(r.name, c.name) << c.stream;
        EXPECT_EQ(r.code, c.code) << c.stream;
        EXPECT_EQ(r.codeArguments, c.codeArguments) << c.stream;
        EXPECT_EQ(r.text, c.text) << c.stream;
        EXPECT_TRUE(r.values.empty()) << c.stream;
    }
}

TEST(ImapResponseParser, DataResponsesGiveTheirValues)
{
    const std::string header = "From: Ann <ann@example.org>\r\nSubject: {3}\r\n\r\n";
    const struct
    {
        std::string stream;
        std::optional<std::uint32_t> number;
        const char* name;
        std::vector<ImapValue> values;
    } cases[] = {
        {"* CAPABILITY IMAP4rev1 LITERAL+ STARTTLS LOGINDISABLED\r\n",
         std::nullopt,
         "CAPABILITY",
         {Atom("IMAP4rev1"), Atom("LITERAL+"), Atom("STARTTLS"), Atom("LOGINDISABLED")}},
        {"* 23 EXISTS\r\n", 23, "EXISTS", {}},
        {"* 4294967295 RECENT\r\n", 4294967295u, "RECENT", {}},
        {"* SEARCH 2 84 882\r\n", std::nullopt, "SEARCH", {Number(2), Number(84), Number(882)}},
        {"* SEARCH\r\n", std::nullopt, "SEARCH", {}},
        {"* SEARCH 7 \r\n", std::nullopt, "SEARCH", {Number(7)}},
        {"* FLAGS (\\Answered \\Seen $Forwarded)\r\n",
         std::nullopt,
         "FLAGS",
         {List({Atom("\\Answered"), Atom("\\Seen"), Atom("$Forwarded")})}},
        {"* LIST (\\HasNoChildren) \"/\" \"Sent \\\"old\\\" \\\\ mail\"\r\n",
         std::nullopt,
         "LIST",
         {List({Atom("\\HasNoChildren")}), String("/"), String("Sent \"old\" \\ mail")}},
        {"* 12 FETCH (UID 42 FLAGS () BODY[HEADER.FIELDS (FROM SUBJECT DATE)] {" +
             std::to_string(header.size()) + "}\r\n" + header + ")\r\n",
         12,
         "FETCH",
         {List({Atom("UID"), Number(42), Atom("FLAGS"), List({}),
                Atom("BODY[HEADER.FIELDS (FROM SUBJECT DATE)]"), String(header)})}},
        {"* 3 FETCH (BODY[HEADER.FIELDS (\"FROM\")]<0> NIL UID 7 X {0+}\r\n)\r\n",
         3,
         "FETCH",
         {List({Atom("BODY[HEADER.FIELDS (\"FROM\")]<0>"), Nil(), Atom("UID"), Number(7), Atom("X"),
                String("")})}},
        {"* X-NESTED (a (b (c {3}\r\n)\r\n)) nil)\r\n",
         std::nullopt,
         "X-NESTED",
         {List({Atom("a"), List({Atom("b"), List({Atom("c"), String(")\r\n")})}), Nil()})}},
        {"* X-BYTES \"caf\xc3\xa9\" {3}\r\n" + std::string(1, '\0') + "\r\n\r\n",
         std::nullopt,
         "X-BYTES",
         {String("caf\xc3\xa9"), String(std::string("\0\r\n", 3))}},
    };
    for (const auto& c : cases) {
        const auto outcome = ParseEveryWay(c.stream);
        ASSERT_EQ(outcome.error, Error::None) << c.stream;
        ASSERT_EQ(outcome.responses.size(), 1u) << c.stream;
        const auto& r = outcome.responses[0];
        EXPECT_EQ(r.kind, ImapResponse::Kind::Untagged) << c.stream;
        EXPECT_EQ(r.number, c.number) << c.stream;
        EXPECT_EQ(r.name, c.name) << c.stream;
        EXPECT_EQ(r.values, c.values) << c.stream;
        EXPECT_EQ(r.raw + "\r\n", c.stream) << "the response as it came";
    }
}

TEST(ImapResponseParser, SeveralResponsesInOneStreamComeInOrder)
{
    const std::string stream = "* 2 FETCH (UID 9 BODY[] {5}\r\nab\r\nc)\r\n"
                               "* 3 EXISTS\r\n"
                               "a5 OK Fetch completed.\r\n";
    const auto outcome = ParseEveryWay(stream);
    ASSERT_EQ(outcome.error, Error::None);
    ASSERT_EQ(outcome.responses.size(), 3u);
    EXPECT_EQ(outcome.responses[0].values[0].items[3], String("ab\r\nc"));
    EXPECT_EQ(outcome.responses[1].name, "EXISTS");
    EXPECT_EQ(outcome.responses[2].tag, "a5");
}

std::string Nested(int depth)
{
    return "* X " + std::string(static_cast<std::size_t>(depth), '(') +
           std::string(static_cast<std::size_t>(depth), ')') + "\r\n";
}

TEST(ImapResponseParser, MalformedOrOversizedInputIsAnError)
{
    const auto longLine = "* OK " + std::string(ImapResponseParser::kMaxLineLength, 'x') + "\r\n";
    const auto bigLiteral =
        "* 1 FETCH (BODY[] {" + std::to_string(ImapResponseParser::kMaxLiteralLength + 1) + "}\r\n";
    std::string manyLiterals = "* 1 FETCH (";
    for (int i = 0; i < 3; ++i)
        manyLiterals += "X {" + std::to_string(ImapResponseParser::kMaxLiteralLength) + "}\r\n" +
                        std::string(ImapResponseParser::kMaxLiteralLength, 'y') + " ";
    const struct
    {
        const char* name;
        std::string stream;
        Error error;
    } cases[] = {
        {"a line over the limit", longLine, Error::LineTooLong},
        {"a literal over the limit", bigLiteral, Error::LiteralTooLong},
        {"a literal of a huge size", "* 1 FETCH (BODY[] {99999999999999999999999}\r\n",
         Error::LiteralTooLong},
        {"literals adding up over the limit", manyLiterals, Error::ResponseTooLong},
        {"lists nested too deep", Nested(ImapResponseParser::kMaxDepth + 1), Error::TooDeep},
        {"a huge message number", "* 4294967296 EXISTS\r\n", Error::NumberTooLarge},
        {"a number beyond 64 bits", "* SEARCH 18446744073709551616\r\n", Error::NumberTooLarge},
        {"a literal not at the line end", "* X {3}abc\r\n", Error::Malformed},
        {"a literal without digits", "* X {}\r\n", Error::Malformed},
        {"a literal with a bad size", "* X {1x}\r\n", Error::Malformed},
        {"an unterminated quoted string", "* X \"abc\r\n", Error::Malformed},
        {"a bad escape", "* X \"a\\b\"\r\n", Error::Malformed},
        {"an unclosed list", "* X (a b\r\n", Error::Malformed},
        {"a closing parenthesis too many", "* X a)\r\n", Error::Malformed},
        {"two blanks", "* X a  b\r\n", Error::Malformed},
        {"an unclosed section", "* 1 FETCH (BODY[HEADER\r\n", Error::Malformed},
        {"an unclosed response code", "* OK [ALERT hello\r\n", Error::Malformed},
        {"no tag", " OK hello\r\n", Error::Malformed},
        {"a tagged data response", "a1 SEARCH 1\r\n", Error::Malformed},
        {"a control character", "* X a\x01\r\n", Error::Malformed},
        {"a number with letters", "* 12a EXISTS\r\n", Error::Malformed},
        {"nothing after the tag", "a1\r\n", Error::Malformed},
    };
    for (const auto& c : cases) {
        const auto outcome = ParseEveryWay(c.stream);
        EXPECT_EQ(outcome.error, c.error) << c.name;
        EXPECT_TRUE(outcome.responses.empty()) << c.name;
    }
    EXPECT_EQ(ParseEveryWay(Nested(ImapResponseParser::kMaxDepth)).error, Error::None);
}

TEST(ImapResponseParser, KeepsNoMoreThanTheLimitsWhateverArrives)
{
    ImapResponseParser parser;
    const auto ignore = [](ImapResponse&&) { return true; };
    const std::string endless(64 * 1024, 'x');
    for (std::size_t sent = 0; sent <= ImapResponseParser::kMaxLineLength; sent += endless.size())
        parser.Feed(endless, ignore);
    EXPECT_EQ(parser.LastError(), Error::LineTooLong);
    EXPECT_FALSE(parser.ErrorText().empty());
    EXPECT_EQ(parser.Buffered(), 0u);
    parser.Feed("* 1 EXISTS\r\n", [](ImapResponse&&) -> bool {
        ADD_FAILURE() << "nothing is read after an error";
        return true;
    });

    parser.Reset();
    EXPECT_EQ(parser.LastError(), Error::None);
    int seen = 0;
    parser.Feed("* 1 EXISTS\r\n", [&](ImapResponse&&) { return ++seen, true; });
    EXPECT_EQ(seen, 1) << "a reset parser reads again";
}

TEST(ImapResponseParser, AHandlerThatStopsDropsTheRest)
{
    ImapResponseParser parser;
    std::vector<std::string> names;
    parser.Feed("a1 OK Begin TLS now\r\n* 1 EXISTS\r\n* 2 EXI", [&](ImapResponse&& response) {
        names.push_back(response.name);
        return false;
    });
    EXPECT_EQ(names, std::vector<std::string>{"OK"});
    EXPECT_EQ(parser.Buffered(), 0u);
    EXPECT_EQ(parser.LastError(), Error::None);
}

} // namespace
} // namespace vorlane
