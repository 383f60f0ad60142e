#include "util/TextEncoding.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(TextEncoding, Utf16LeDecodesSurrogatePairsAndReplacesLoneOnes)
{
    EXPECT_EQ(DecodeUtf16Le(std::string("A\0\xE9\0", 4)), U"A\u00E9");
    EXPECT_EQ(DecodeUtf16Le(std::string("\x3D\xD8\x00\xDE", 4)), U"\U0001F600");
    EXPECT_EQ(DecodeUtf16Le(std::string("\x00\xDC"
                                        "A\0",
                                        4)),
              U"\uFFFDA");
    EXPECT_EQ(EncodeUtf8(U"A\u00E9\u20AC\U0001F600"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(TextEncoding, Utf16LeEncodesSurrogatePairsAndRoundTrips)
{
    const struct
    {
        std::u32string text;
        std::string bytes;
    } cases[] = {
        {U"", ""},
        {U"A\u00E9", std::string("A\0\xE9\0", 4)},
        {U"\uFFFF", "\xFF\xFF"},
        {U"\U00010000", std::string("\x00\xD8\x00\xDC", 4)},
        {U"\U0001F600", std::string("\x3D\xD8\x00\xDE", 4)},
        {U"\U0010FFFF", "\xFF\xDB\xFF\xDF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeUtf16Le(c.text), c.bytes);
        EXPECT_EQ(DecodeUtf16Le(c.bytes), c.text);
    }
    // What UTF-16 cannot hold becomes the replacement character.
    EXPECT_EQ(EncodeUtf16Le(std::u32string{0xD800, 0x110000}), "\xFD\xFF\xFD\xFF");
}

TEST(TextEncoding, Windows1252RoundTripsEveryByte)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    const auto text = DecodeWindows1252(bytes);
    EXPECT_EQ(text[0x80], U'\u20AC');
    EXPECT_EQ(text[0x81], U'\u0081'); // undefined in the code page: kept as Windows keeps it
    EXPECT_EQ(EncodeWindows1252(text), bytes);
    EXPECT_EQ(EncodeWindows1252(U"\u4E2D"), "?");
}

TEST(TextEncoding, RecognisesValidUtf8)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("Z\xC3\xBCrich"));
    EXPECT_FALSE(IsValidUtf8("Z\xFCrich"));    // Windows-1252
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));     // cut short
    EXPECT_EQ(DecodeUtf8("a\xFF"
                         "b"),
              U"a\uFFFDb");
}

} // namespace
} // namespace vorlane
