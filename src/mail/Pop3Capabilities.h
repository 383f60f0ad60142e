#pragma once

#include <string_view>

namespace vorlane {

// What a server says it supports in its answer to CAPA (RFC 2449), as far as a poll uses it.
// Nothing is assumed of a server that does not answer CAPA.
struct Pop3Capabilities
{
    bool Uidl = false;       // lists the unique id of every message
    bool Pipelining = false; // takes commands without waiting for the reply to each

    // One line of the list: its first word names the capability, in any letter case.
    void Read(std::string_view line);
};

} // namespace vorlane
