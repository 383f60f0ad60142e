#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// The tray holds at most 63 characters of tip. A longer tip keeps its start and ends in "...",
// cut between characters, never inside one.
inline constexpr std::size_t kMaxTrayTipLength = 63;
std::string LimitTrayTip(std::string_view tip);

} // namespace vorlane
