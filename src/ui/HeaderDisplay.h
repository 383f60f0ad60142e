#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// Bytes in any charset the platform knows (Qt's decoders, with ICU behind them) as UTF-8;
// nothing when the charset is unknown or the bytes are not valid in it.
std::optional<std::string> DecodeCharset(std::string_view charset, std::string_view bytes);

// A raw header value (From, Subject) as the windows show it: DecodeHeaderText with every
// charset the platform knows.
std::string DisplayHeaderText(std::string_view raw);

} // namespace vorlane
