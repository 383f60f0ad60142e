#include "util/TextEncoding.h"

#include <array>

namespace vorlane {

namespace {

// Code points of the bytes 0x80 to 0x9F in Windows-1252; 0 marks the undefined ones.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char EncodeWindows1252Char(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        const auto mapped =
            kWindows1252High[i] == 0 ? static_cast<char32_t>(0x80 + i) : kWindows1252High[i];
        if (mapped == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

std::u32string DecodeUtf16Le(std::string_view bytes)
{
    std::u32string result;
    result.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                result.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                                 (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        result.push_back((u >= 0xD800 && u <= 0xDFFF) ? U'\uFFFD' : static_cast<char32_t>(u));
    }
    return result;
}

std::string EncodeUtf16Le(std::u32string_view text)
{
    std::string result;
    result.reserve(2 * text.size());
    const auto put = [&result](char32_t unit) {
        result.push_back(static_cast<char>(unit & 0xFF));
        result.push_back(static_cast<char>((unit >> 8) & 0xFF));
    };
    for (char32_t c : text) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = U'\uFFFD';
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return result;
}

std::string EncodeUtf8(std::u32string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char32_t c : text) {
        if (c < 0x80) {
            result.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (c >> 6)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (c >> 12)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (c >> 18)));
            result.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return result;
}

std::string EncodeWindows1252(std::u32string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char32_t c : text)
        result.push_back(EncodeWindows1252Char(c));
    return result;
}

std::u32string DecodeWindows1252(std::string_view bytes)
{
    std::u32string result;
    result.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        const bool high = b >= 0x80 && b < 0xA0 && kWindows1252High[b - 0x80] != 0;
        result.push_back(high ? kWindows1252High[b - 0x80] : static_cast<char32_t>(b));
    }
    return result;
}

namespace {

// Length and code point of the UTF-8 sequence at text[i]; length 0 when it is not valid.
std::size_t ReadUtf8Sequence(std::string_view text, std::size_t i, char32_t& c)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const auto length = ReadUtf8Sequence(text, i, c);
        result.push_back(length == 0 ? U'\uFFFD' : c);
        i += length == 0 ? 1 : length;
    }
    return result;
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const auto length = ReadUtf8Sequence(text, i, c);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace vorlane
