// The IMAP response parser and the dialogue against arbitrary server streams, whole and cut into
// reads at arbitrary points. What must hold whatever a server sends:
// - the same stream gives the same responses and the same error however it is cut, and the
//   dialogue the same commands, state, cause, records and log;
// - nothing is buffered beyond one response and one piece of a read;
// - no list is nested deeper than the limit;
// - the dialogue changes nothing on the server, never logs the password and, with STARTTLS, logs
//   in only once the connection is encrypted; its records stay within their limit.
#include "Reads.h"
#include "Require.h"
#include "mail/HeaderCache.h"
#include "mail/imap/ImapDialogue.h"
#include "mail/imap/ImapResponseParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vorlane::ImapResponse;
using vorlane::ImapResponseParser;
using vorlane::ImapValue;
using vorlane::fuzz::Require;

int Depth(const ImapValue& value)
{
    int deepest = 0;
    for (const auto& item : value.items)
        deepest = std::max(deepest, Depth(item));
    return value.IsList() ? deepest + 1 : deepest;
}

struct Outcome
{
    std::vector<std::string> raw;
    ImapResponseParser::Error error = ImapResponseParser::Error::None;
};

Outcome Parse(const std::vector<std::string_view>& reads)
{
    ImapResponseParser parser;
    Outcome outcome;
    for (const auto read : reads) {
        parser.Feed(read, [&](ImapResponse&& response) {
            for (const auto& value : response.values)
                Require(Depth(value) <= ImapResponseParser::kMaxDepth, "bounded nesting");
            outcome.raw.push_back(std::move(response.raw));
            return true;
        });
        Require(parser.Buffered() <=
                    ImapResponseParser::kMaxResponseLength + 2 * ImapResponseParser::kMaxLineLength,
                "bounded buffer");
    }
    outcome.error = parser.LastError();
    return outcome;
}

struct Transport : vorlane::ImapTransport
{
    void Send(const std::string& text) override
    {
        for (const char* command : {" SELECT ", " STORE ", " EXPUNGE", " COPY ", " MOVE ",
                                    " DELETE ", " APPEND ", " RENAME ", " CREATE "})
            Require(text.find(command) == std::string::npos, "nothing changed on the server");
        if (!encrypted && (text.find(" LOGIN ") != std::string::npos ||
                           text.find(" AUTHENTICATE ") != std::string::npos))
            loginInPlainText = true;
        sent += text;
    }
    void Close() override {}
    void StartTls() override { handshakeRequested = true; }

    std::string sent;
    bool handshakeRequested = false;
    bool encrypted = false;
    bool loginInPlainText = false;
};

struct Played
{
    std::string sent;
    vorlane::ImapStep state = vorlane::ImapStep::NotStarted;
    vorlane::MailFailure failure = vorlane::MailFailure::None;
    vorlane::MailMessageList records;
    std::vector<std::string> log;
};

const vorlane::HeaderCache& SomeCache()
{
    static const vorlane::HeaderCache cache = [] {
        vorlane::HeaderCache known;
        for (const std::uint32_t uid : {1u, 2u, 7u})
            known.Add(vorlane::ImapDialogue::CacheId(1700000000, uid), {"cached", "cached"});
        return known;
    }();
    return cache;
}

Played Play(const std::vector<std::string_view>& reads, std::uint8_t choices)
{
    const bool startTls = (choices & 2) != 0;
    Transport transport;
    transport.encrypted = !startTls;
    Played played;
    vorlane::MailMessageList messages;
    vorlane::ImapDialogue dialogue(transport,
                                   [&](const std::string& line) { played.log.push_back(line); });
    vorlane::ImapOptions options;
    options.useStartTls = startTls;
    options.fetchHeaders = (choices & 4) != 0;
    options.cache = (choices & 8) != 0 ? &SomeCache() : nullptr;
    options.idle = (choices & 16) != 0;
    // Ended at the first news, as the program would to run a poll.
    options.mailboxChanged = [&](const std::string&, std::uint32_t) { dialogue.Done(); };
    dialogue.Start("joe", "s3cret", "INBOX", messages, options);
    dialogue.MailState = vorlane::ImapStep::Connected;
    for (const auto read : reads) {
        dialogue.SplitReceived(read);
        if (transport.handshakeRequested && !transport.encrypted) {
            transport.encrypted = true; // the handshake ends between two reads
            dialogue.TlsEstablished();
        }
    }
    Require(!transport.loginInPlainText, "no login before TLS");
    Require(messages.size() <= static_cast<std::size_t>(vorlane::ImapDialogue::kMaxHeaderRecords),
            "bounded records");
    Require(dialogue.HeaderRecordIds().size() == messages.size(), "an id for every record");
    Require(std::is_sorted(dialogue.UnseenUids.begin(), dialogue.UnseenUids.end()),
            "unseen UIDs in order");
    // What the server sends is logged as it came, echoes included; the rest never holds it.
    for (const auto& line : played.log)
        Require(line.starts_with("IMAP IN : ") ||
                    (line.find("s3cret") == std::string::npos &&
                     line.find("AGpvZQBzM2NyZXQ") == std::string::npos),
                "no password in the log");
    played.sent = transport.sent;
    played.state = dialogue.MailState;
    played.failure = dialogue.Failure;
    played.records = messages;
    return played;
}

} // namespace

// The first byte seeds the cuts and chooses the dialogue's options, the rest is the server's
// stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint32_t seed = data[0] | 1u;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto cut = vorlane::fuzz::CutIntoReads(stream, seed);
    const auto pieces = Parse(cut);
    const auto whole = Parse({stream});
    Require(pieces.raw == whole.raw, "the same responses however the stream is cut");
    Require(pieces.error == whole.error, "the same error however the stream is cut");

    const auto played = Play(cut, data[0]);
    if ((data[0] & 2) != 0)
        return 0; // where the handshake ends depends on the cut; the login rule held above
    const auto once = Play({stream}, data[0]);
    Require(played.sent == once.sent, "the same commands however the stream is cut");
    Require(played.state == once.state && played.failure == once.failure,
            "the same end however the stream is cut");
    Require(played.records == once.records, "the same records however the stream is cut");
    Require(played.log == once.log, "the same log however the stream is cut");
    return 0;
}
