#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// A backslash, line feed, tab and carriage return written as \\, \n, \t and \r, as desktop
// entries and the header cache keep text on one line; every other byte as it is.
std::string EscapeWithBackslashes(std::string_view text);

// The inverse; nothing when a backslash is followed by anything else or ends the text.
std::optional<std::string> UnescapeBackslashes(std::string_view text);

} // namespace vorlane
