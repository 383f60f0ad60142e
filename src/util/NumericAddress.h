#pragma once

#include <string_view>

namespace vorlane {

// True when the text holds only digits and full stops, with exactly three full stops: such a
// host is used as an address without a name lookup. No further validation ("1..2.3" counts).
bool IsNumericAddress(std::string_view host);

} // namespace vorlane
