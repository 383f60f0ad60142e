// The IMAP response parser against arbitrary server streams, whole and cut into reads at
// arbitrary points. What must hold whatever a server sends:
// - the same stream gives the same responses and the same error however it is cut;
// - nothing is buffered beyond one response and one piece of a read;
// - no list is nested deeper than the limit.
#include "Reads.h"
#include "Require.h"
#include "mail/imap/ImapResponseParser.h"

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

} // namespace

// The first byte seeds the cuts, the rest is the server's stream.
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
    return 0;
}
