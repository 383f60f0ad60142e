#pragma once

#include "mail/Pop3Dialogue.h"

#include <string>

namespace vorlane::test {

// Records what the dialogue sends and whether it closes or starts TLS.
struct Pop3Recorder : Pop3Transport
{
    void Send(const std::string& text) override { sent += text; }
    void Close() override { ++closes; }
    void StartTls() override { ++handshakes; }
    std::string sent;
    int closes = 0;
    int handshakes = 0;
};

} // namespace vorlane::test
