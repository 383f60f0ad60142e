#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane {

// The most of a negative reply that a report repeats: enough for any provider's sentence, too
// little for a server to fill the user's screen.
inline constexpr std::size_t kMaxServerReplyLength = 300;

// The text of a negative reply as the report shows it: without its "-ERR" and the blank after
// it, cut to kMaxServerReplyLength bytes, control bytes written as "\xHH".
std::string ServerReplyText(std::string_view negativeReply);

// A line of advice in plain words for the RFC 2449 response code that opens the reply's text
// ("[AUTH] ...", "[SYS/TEMP] ...", letter case aside); empty for a text without a known code.
std::string_view ResponseCodeAdvice(std::string_view replyText);

} // namespace vorlane
