#pragma once

#include <string_view>

namespace vorlane {

// The time server's own address test: only digits and full stops, and exactly four full stops.
// Such a text is set as the socket's numeric address; anything else, a dotted IPv4 address with
// its three full stops included, is set as the host name and resolved by the name lookup (which
// turns a dotted address into that same address).
bool IsTimeServerAddress(std::string_view timeServer);

} // namespace vorlane
