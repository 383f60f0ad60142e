#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// Turns bytes in the named charset into UTF-8; nothing when the charset is unknown or the bytes
// are not valid in it.
using CharsetDecoder =
    std::function<std::optional<std::string>(std::string_view charset, std::string_view bytes)>;

// The charsets every mail program meets, known without help: UTF-8, US-ASCII, and ISO-8859-1
// and Windows-1252, both read as Windows-1252 like web browsers do (the two are mixed up by
// senders all the time). Names compare without letter case.
std::optional<std::string> DecodeCommonCharset(std::string_view charset, std::string_view bytes);

// The display text, in UTF-8, of a raw header value as a poll keeps it (From, Subject):
// - folded lines are unfolded, and any other control character becomes a blank;
// - RFC 2047 encoded words, B and Q, are decoded in the common charsets above and with `decode`
//   in any other it knows (an RFC 2231 language suffix ignored); adjacent ones, with only white
//   space between them, are joined, and the bytes of adjacent words in one charset are decoded
//   together, so that a character split across two words comes out whole;
// - raw 8-bit text is taken as UTF-8 when it is valid UTF-8, and otherwise as Windows-1252;
// - an encoded word that cannot be decoded (malformed, an unknown charset, bytes invalid in
//   it) is shown as it stands, never dropped.
std::string DecodeHeaderText(std::string_view raw, const CharsetDecoder& decode);

} // namespace vorlane
