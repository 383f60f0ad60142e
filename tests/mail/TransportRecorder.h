#pragma once

#include <string>

namespace vorlane::test {

// Records what a dialogue sends over its transport (Pop3Transport, ImapTransport) and whether it
// closes or starts TLS.
template <class Transport> struct TransportRecorder : Transport
{
    void Send(const std::string& text) override { sent += text; }
    void Close() override { ++closes; }
    void StartTls() override { ++handshakes; }
    std::string sent;
    int closes = 0;
    int handshakes = 0;
};

} // namespace vorlane::test
