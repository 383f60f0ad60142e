// The POP3 dialogue against arbitrary server streams, whole and cut into reads at arbitrary
// points. What must hold whatever a server sends:
// - the same stream gives the same commands, state, cause and log however it is cut;
// - with STLS on, neither USER nor PASS goes out before the connection is encrypted;
// - one header record per TOP request, never more than the limit, no line buffered beyond it.
#include "Require.h"
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
        if (text.starts_with("TOP "))
            ++topRequests;
    }
    void Close() override { ++closes; }
    void StartTls() override { handshakeRequested = true; }

    bool stls;
    std::string sent;
    int topRequests = 0;
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
    std::size_t records = 0;
    std::vector<std::string> log;
};

Outcome Play(const std::vector<std::string_view>& reads, bool headers, bool stls)
{
    Transport transport(stls);
    std::vector<std::string> log;
    MailMessageList messages;
    Pop3Dialogue dialogue(transport, [&](const std::string& line) { log.push_back(line); });
    dialogue.Start("joe", "secret", headers, messages, stls);
    dialogue.MailState = vorlane::Pop3Step::Connected;
    for (const auto read : reads) {
        dialogue.SplitReceivedLines(read);
        if (transport.handshakeRequested && !transport.encrypted) {
            transport.encrypted = true; // the handshake ends between two reads
            dialogue.TlsEstablished();
        }
        Require(dialogue.ReceiveBuffer.size() <= Pop3Dialogue::kMaxLineLength, "bounded buffer");
    }
    Require(!transport.loginInPlainText, "no login before TLS");
    Require(messages.size() == static_cast<std::size_t>(transport.topRequests),
            "one header record per TOP");
    Require(messages.size() <= static_cast<std::size_t>(Pop3Dialogue::kMaxHeaderRecords),
            "bounded records");
    for (const auto& [number, record] : messages)
        Require(record.From.size() <= Pop3Dialogue::kMaxHeaderValueLength &&
                    record.Subject.size() <= Pop3Dialogue::kMaxHeaderValueLength,
                "bounded header values");
    return {transport.sent,   dialogue.MailState, dialogue.MailFailed,
            dialogue.Failure, messages.size(),    log};
}

} // namespace

// The first byte chooses the headers and STLS, the second seeds the cuts, the rest is the
// server's stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool headers = (data[0] & 1) != 0;
    const bool stls = (data[0] & 2) != 0;
    std::uint32_t seed = data[1] | 1u;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<std::string_view> cut;
    for (std::size_t at = 0; at < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t length = 1 + (seed >> 16) % 64;
        cut.push_back(stream.substr(at, length));
        at += length;
    }
    const auto pieces = Play(cut, headers, stls);
    if (stls)
        return 0; // where the handshake ends depends on the cut; the login rule held above
    const auto whole = Play({stream}, headers, stls);
    Require(pieces.sent == whole.sent, "the same commands however the stream is cut");
    Require(pieces.state == whole.state && pieces.failed == whole.failed &&
                pieces.failure == whole.failure && pieces.records == whole.records,
            "the same end however the stream is cut");
    Require(pieces.log == whole.log, "the same log however the stream is cut");
    return 0;
}
