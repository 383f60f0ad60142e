#include "mail/HeaderText.h"

#include "util/AsciiCase.h"
#include "util/TextEncoding.h"

#include <vector>

namespace vorlane {

namespace {

// One piece of the header: text as it stands, or an encoded word whose bytes are decoded.
struct Piece
{
    static Piece Text(std::string_view raw) { return {raw, false, {}, {}}; }

    std::string_view raw;
    bool encoded = false;
    std::string charset; // without an RFC 2231 language
    std::string bytes;
};

bool IsWhiteSpace(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<std::string> DecodeBase64(std::string_view text)
{
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        int value = -1;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        if (c == '=') {
            ++padding;
            continue;
        }
        if (value < 0 || padding > 0)
            return std::nullopt; // a character outside the alphabet, or data after padding
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            bytes += static_cast<char>((bits >> 16) & 0xFF);
            bytes += static_cast<char>((bits >> 8) & 0xFF);
            bytes += static_cast<char>(bits & 0xFF);
            bits = 0;
            count = 0;
        }
    }
    // What a last group of two or three characters holds; padding is not required, but one
    // lone character cannot be a byte, and padding must not exceed the group.
    if (count == 1 || (count == 0 && padding > 0) || (count > 0 && padding > 4u - count))
        return std::nullopt;
    if (count >= 2)
        bytes += static_cast<char>((bits >> (count == 2 ? 4 : 10)) & 0xFF);
    if (count == 3)
        bytes += static_cast<char>((bits >> 2) & 0xFF);
    return bytes;
}

std::optional<std::string> DecodeQ(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (text[i] != '=') {
            bytes += text[i];
        } else if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

// An encoded word at the start of the text ("=?charset?B?text?=", RFC 2047): its length, with
// its charset and bytes filled in; 0 when none stands there or it cannot be decoded.
std::size_t ReadEncodedWord(std::string_view text, Piece& word)
{
    if (!text.starts_with("=?"))
        return 0;
    const auto charsetEnd = text.find('?', 2);
    if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= text.size() ||
        text[charsetEnd + 2] != '?')
        return 0;
    const auto end = text.find("?=", charsetEnd + 3);
    if (end == std::string_view::npos)
        return 0;
    auto charset = text.substr(2, charsetEnd - 2);
    charset = charset.substr(0, charset.find('*'));
    const auto encoded = text.substr(charsetEnd + 3, end - charsetEnd - 3);
    if (charset.empty() || charset.find_first_of(" \t=") != std::string_view::npos ||
        encoded.find_first_of(" \t?") != std::string_view::npos)
        return 0;
    const char encoding = AsciiUpper(text[charsetEnd + 1]);
    const auto bytes = encoding == 'B'   ? DecodeBase64(encoded)
                       : encoding == 'Q' ? DecodeQ(encoded)
                                         : std::nullopt;
    if (!bytes)
        return 0;
    word.encoded = true;
    word.charset = charset;
    word.bytes = *bytes;
    return end + 2;
}

std::vector<Piece> SplitPieces(std::string_view text)
{
    std::vector<Piece> pieces;
    std::size_t textStart = 0;
    for (std::size_t at = text.find("=?"); at != std::string_view::npos;) {
        Piece word;
        const auto length = ReadEncodedWord(text.substr(at), word);
        if (length == 0) {
            at = text.find("=?", at + 1);
            continue;
        }
        if (at > textStart)
            pieces.push_back(Piece::Text(text.substr(textStart, at - textStart)));
        word.raw = text.substr(at, length);
        pieces.push_back(std::move(word));
        textStart = at + length;
        at = text.find("=?", textStart);
    }
    if (textStart < text.size())
        pieces.push_back(Piece::Text(text.substr(textStart)));
    return pieces;
}

std::string DecodeRawText(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : EncodeUtf8(DecodeWindows1252(text));
}

std::string Unfold(std::string_view raw)
{
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i; // a line break of a folded line: what follows it stays
        else
            text += raw[i];
    }
    return text;
}

} // namespace

std::optional<std::string> DecodeCommonCharset(std::string_view charset, std::string_view bytes)
{
    const auto name = AsciiUpper(charset);
    if (name == "UTF-8" || name == "UTF8") {
        if (!IsValidUtf8(bytes))
            return std::nullopt;
        return std::string(bytes);
    }
    if (name == "US-ASCII" || name == "ASCII")
        return DecodeRawText(bytes); // 8-bit text in it is raw 8-bit text
    if (name == "ISO-8859-1" || name == "LATIN1" || name == "ISO_8859-1" ||
        name == "WINDOWS-1252" || name == "CP1252")
        return EncodeUtf8(DecodeWindows1252(bytes));
    return std::nullopt;
}

std::string DecodeHeaderText(std::string_view raw, const CharsetDecoder& decode)
{
    const auto unfolded = Unfold(raw);
    const auto pieces = SplitPieces(unfolded);
    std::string text;
    for (std::size_t i = 0; i < pieces.size();) {
        if (!pieces[i].encoded) {
            // White space between two encoded words is not part of the text.
            const bool between = i > 0 && i + 1 < pieces.size() && pieces[i - 1].encoded &&
                                 pieces[i + 1].encoded && IsWhiteSpace(pieces[i].raw);
            if (!between)
                text += DecodeRawText(pieces[i].raw);
            ++i;
            continue;
        }
        // A run of adjacent words in one charset, decoded together.
        std::string bytes = pieces[i].bytes;
        std::size_t last = i;
        for (auto next = i + 1; next < pieces.size(); next = last + 1) {
            if (!pieces[next].encoded && IsWhiteSpace(pieces[next].raw))
                ++next;
            if (next >= pieces.size() || !pieces[next].encoded ||
                !EqualsIgnoringCase(pieces[next].charset, pieces[i].charset))
                break;
            bytes += pieces[next].bytes;
            last = next;
        }
        auto decoded = DecodeCommonCharset(pieces[i].charset, bytes);
        if (!decoded && decode)
            decoded = decode(pieces[i].charset, bytes);
        if (decoded) {
            text += *decoded;
        } else {
            // Shown as it stands, the white space between the words included.
            const auto* begin = pieces[i].raw.data();
            const auto* end = pieces[last].raw.data() + pieces[last].raw.size();
            text += DecodeRawText(std::string_view(begin, static_cast<std::size_t>(end - begin)));
        }
        i = last + 1;
    }
    for (char& c : text)
        if ((c >= 0 && c < ' ') || c == '\x7f')
            c = ' ';
    return text;
}

} // namespace vorlane
