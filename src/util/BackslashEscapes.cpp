#include "util/BackslashEscapes.h"

#include <array>
#include <utility>

namespace vorlane {

namespace {

constexpr std::array<std::pair<char, char>, 4> kEscapes = {
    {{'\\', '\\'}, {'\n', 'n'}, {'\t', 't'}, {'\r', 'r'}}};

} // namespace

std::string EscapeWithBackslashes(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        bool replaced = false;
        for (const auto& [byte, letter] : kEscapes) {
            if (c == byte) {
                escaped += '\\';
                escaped += letter;
                replaced = true;
            }
        }
        if (!replaced)
            escaped += c;
    }
    return escaped;
}

std::optional<std::string> UnescapeBackslashes(std::string_view text)
{
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            plain += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        bool known = false;
        for (const auto& [byte, letter] : kEscapes) {
            if (text[i] == letter) {
                plain += byte;
                known = true;
            }
        }
        if (!known)
            return std::nullopt;
    }
    return plain;
}

} // namespace vorlane
