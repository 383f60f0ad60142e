// The field routines, the number parsers and the text encodings on arbitrary bytes, against
// properties that hold for every input. The first byte is the field separator, the rest the text.
#include "Require.h"
#include "util/Fields.h"
#include "util/TextEncoding.h"
#include "util/WholeNumber.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace vorlane;
using fuzz::Require;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal digits read one by one; nothing beyond the signed 32-bit range.
std::optional<std::int32_t> ReadDigits(std::string_view digits, bool negative)
{
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
    std::int64_t number = 0;
    for (const char c : digits) {
        number = 10 * number + (c - '0');
        if (number > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -number : number);
}

void CheckFields(std::string_view text, char separator)
{
    const auto separators = static_cast<int>(std::count(text.begin(), text.end(), separator));
    Require(CountFields(text, separator) == (separators == 0 ? 0 : separators + 1),
            "CountFields counts the separators plus one, or nothing without one");
    Require(ExtractField(text, 0, separator).empty(), "there is no field 0");
    Require(ExtractField(text, separators + 2, separator).empty(), "no field after the last");
    if (separators > 256)
        return; // each field is found from the start: keep the run fast
    std::string joined;
    for (int k = 1; k <= separators + 1; ++k) {
        const auto field = ExtractField(text, k, separator);
        Require(field.find(separator) == std::string::npos, "a field holds no separator");
        if (k > 1)
            joined += separator;
        joined += field;
    }
    Require(joined == text, "the fields joined by the separator are the text");
}

void CheckNumbers(std::string_view text)
{
    const auto count = ParseCount(text);
    Require(count == ReadDigits(text, false), "ParseCount reads digits alone up to 2147483647");
    if (count)
        Require(ParseWholeNumber(text) == count, "a count is a whole number too");

    auto rest = text;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (rest.front() == '+' || negative))
        rest.remove_prefix(1);
    Require(ParseWholeNumber(text) == ReadDigits(rest, negative),
            "ParseWholeNumber reads blanks, a sign and digits within the 32-bit range");
}

// Code points that every encoding can hold: no surrogates, nothing above U+10FFFF.
bool AreScalarValues(std::u32string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); });
}

void CheckEncodings(std::string_view bytes)
{
    const auto decoded = DecodeUtf8(bytes);
    Require(AreScalarValues(decoded), "DecodeUtf8 gives Unicode scalar values");
    const auto encoded = EncodeUtf8(decoded);
    Require(IsValidUtf8(bytes) == (encoded == bytes),
            "valid UTF-8 is exactly what survives decoding and encoding");
    Require(IsValidUtf8(encoded), "EncodeUtf8 writes valid UTF-8");
    Require(DecodeUtf8(encoded) == decoded, "decoding what was encoded gives the code points");

    Require(EncodeWindows1252(DecodeWindows1252(bytes)) == bytes,
            "every byte survives Windows-1252");
    Require(EncodeWindows1252(decoded).size() == decoded.size(),
            "Windows-1252 has one byte for each code point");

    const auto utf16 = DecodeUtf16Le(bytes);
    Require(AreScalarValues(utf16), "DecodeUtf16Le gives Unicode scalar values");
    Require(DecodeUtf16Le(EncodeUtf16Le(utf16)) == utf16, "UTF-16LE round trip");
    Require(IsValidUtf8(EncodeUtf8(utf16)), "UTF-16LE decodes to code points UTF-8 holds");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckFields(text, static_cast<char>(data[0]));
    CheckNumbers(text);
    CheckEncodings(text);
    return 0;
}
