#pragma once

#include <string_view>

namespace vorlane {

// A host that names this computer itself: "localhost" (and names below ".localhost"), an IPv4
// address of 127.0.0.0/8 or the IPv6 "::1". Traffic to it never crosses a network.
bool IsLoopbackHost(std::string_view host);

} // namespace vorlane
