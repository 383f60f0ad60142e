// The POP3 dialogue against arbitrary server streams, whole and cut into reads at arbitrary
// points, with and without CAPA asked and a header cache. What must hold whatever a server sends:
// - the same stream gives the same commands, state, cause, records and log however it is cut;
// - with STLS on, neither USER nor PASS goes out before the connection is encrypted;
// - without CAPA asked, no command beyond those POP3 always had goes out;
// - one header record per TOP request or cached header, each message asked for at most once and
//   in the server's order, never more than the limit, no line buffered beyond it;
// - header requests wait one at a time unless PIPELINING was announced, and never more than the
//   window at once.
#include "Reads.h"
#include "Require.h"
#include "mail/HeaderCache.h"
#include "mail/Pop3Dialogue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vorlane::MailMessageList;
using vorlane::Pop3Dialogue;
using vorlane::fuzz::Require;

struct Transport : vorlane::Pop3Transport
{
    explicit Transport(bool stls) : stls(stls) {}

    void Send(const std::string& text) override
    {
        if (stls && !encrypted && (text.starts_with("USER") || text.starts_with("PASS")))
            loginInPlainText = true;
        sent += text;
        if (text.starts_with("TOP ")) {
            const long number = std::stol(text.substr(4));
            Require(number > lastTop, "each message asked for once, in the server's order");
            lastTop = number;
            ++topRequests;
        }
        if (text.starts_with("CAPA") || text.starts_with("UIDL"))
            ++extensionCommands;
    }
    void Close() override { ++closes; }
    void StartTls() override { handshakeRequested = true; }

    bool stls;
    std::string sent;
    long lastTop = 0;
    std::size_t topRequests = 0;
    int extensionCommands = 0;
    int closes = 0;
    bool handshakeRequested = false;
    bool encrypted = false;
    bool loginInPlainText = false;
};

struct Outcome
{
    std::string sent;
    vorlane::Pop3Step state = vorlane::Pop3Step::NotStarted;
    bool failed = false;
    vorlane::MailFailure failure = vorlane::MailFailure::None;
    MailMessageList records;
    std::vector<std::string> log;
};

const vorlane::HeaderCache& SomeCache()
{
    static const vorlane::HeaderCache cache = [] {
        vorlane::HeaderCache known;
        for (const char* id : {"a", "b", "1", "uid-2", "0000000e5f3a21c0"})
            known.Add(id, {"cached from", "cached subject"});
        return known;
    }();
    return cache;
}

struct Options
{
    bool headers;
    bool stls;
    bool capabilities;
    bool cache;
};

Outcome Play(const std::vector<std::string_view>& reads, const Options& options)
{
    Transport transport(options.stls);
    std::vector<std::string> log;
    MailMessageList messages;
    Pop3Dialogue dialogue(transport, [&](const std::string& line) { log.push_back(line); });
    dialogue.Start("joe", "secret", options.headers, messages, options.stls,
                   {options.capabilities, options.cache ? &SomeCache() : nullptr});
    dialogue.MailState = vorlane::Pop3Step::Connected;
    for (const auto read : reads) {
        dialogue.SplitReceivedLines(read);
        if (transport.handshakeRequested && !transport.encrypted) {
            transport.encrypted = true; // the handshake ends between two reads
            dialogue.TlsEstablished();
        }
        Require(dialogue.ReceiveBuffer.size() <= Pop3Dialogue::kMaxLineLength, "bounded buffer");
        Require(dialogue.HeaderRequestsInFlight() <=
                    (dialogue.Capabilities.Pipelining ? Pop3Dialogue::kPipelineWindow : 1),
                "header requests within the window");
    }
    Require(!transport.loginInPlainText, "no login before TLS");
    Require(options.capabilities || transport.extensionCommands == 0,
            "only the commands POP3 always had, unless CAPA is asked");
    const auto& ids = dialogue.HeaderRecordIds();
    Require(ids.size() == messages.size(), "an id, or none, for every record");
    std::size_t cached = 0;
    for (const auto& id : ids)
        if (options.cache && !id.empty() && SomeCache().Find(id) != nullptr)
            ++cached;
    Require(messages.size() == transport.topRequests + cached,
            "one header record per TOP or cached header");
    Require(messages.size() <= static_cast<std::size_t>(Pop3Dialogue::kMaxHeaderRecords),
            "bounded records");
    Require(!dialogue.UniqueIds || dialogue.UniqueIds->size() <=
                                       static_cast<std::size_t>(Pop3Dialogue::kMaxHeaderRecords),
            "bounded listing");
    Require(dialogue.CompleteHeaderRecords() <= messages.size(), "complete records exist");
    for (const auto& [number, record] : messages)
        Require(record.From.size() <= Pop3Dialogue::kMaxHeaderValueLength &&
                    record.Subject.size() <= Pop3Dialogue::kMaxHeaderValueLength,
                "bounded header values");
    return {transport.sent,   dialogue.MailState, dialogue.MailFailed,
            dialogue.Failure, messages,           log};
}

} // namespace

// The first byte chooses the headers, STLS, CAPA and the cache, the second seeds the cuts, the
// rest is the server's stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const Options options{(data[0] & 1) != 0, (data[0] & 2) != 0, (data[0] & 4) != 0,
                          (data[0] & 8) != 0};
    const std::uint32_t seed = data[1] | 1u;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    const auto cut = vorlane::fuzz::CutIntoReads(stream, seed);
    const auto pieces = Play(cut, options);
    if (options.stls)
        return 0; // where the handshake ends depends on the cut; the login rule held above
    const auto whole = Play({stream}, options);
    Require(pieces.sent == whole.sent, "the same commands however the stream is cut");
    Require(pieces.state == whole.state && pieces.failed == whole.failed &&
                pieces.failure == whole.failure,
            "the same end however the stream is cut");
    Require(pieces.records == whole.records, "the same records however the stream is cut");
    Require(pieces.log == whole.log, "the same log however the stream is cut");
    return 0;
}
