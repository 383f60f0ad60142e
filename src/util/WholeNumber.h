#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorlane {

// A whole number written in decimal: leading blanks, an optional sign, digits, nothing after,
// within the signed 32-bit range. Nothing for any other text.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// A count or a size as a server writes it: decimal digits and nothing else (no sign, no blanks),
// at most 2147483647; leading zeros are allowed. Nothing for any other text.
std::optional<std::int32_t> ParseCount(std::string_view text);

} // namespace vorlane
