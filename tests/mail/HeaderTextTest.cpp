// Header values decoded for display: the rules of RFC 2047 and of raw 8-bit text. The charsets
// beyond the common ones come from the platform; here a stand-in charset shows how they are
// asked for (the real ones are tested with the message window).
#include "mail/HeaderText.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// "x-upper": ASCII in upper case; a byte above 0x7F is invalid in it.
std::optional<std::string> StandIn(std::string_view charset, std::string_view bytes)
{
    if (charset != "x-upper")
        return std::nullopt;
    std::string text;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return std::nullopt;
        text += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return text;
}

TEST(HeaderText, DecodesEncodedWordsUnfoldsAndShowsWhatItCannotDecodeAsItStands)
{
    const struct
    {
        const char* name;
        const char* raw;
        const char* shown;
    } cases[] = {
        {"plain text", "Lunch on Friday?", "Lunch on Friday?"},
        {"empty", "", ""},
        {"B in UTF-8", "=?UTF-8?B?SGVsbG8gV8O2cmxk?=", "Hello W\xC3\xB6rld"},
        {"Q with underscores and lower-case hex", "=?utf-8?q?Gr=c3=bc=C3=9Fe_aus_K=C3=B6ln?=",
         "Gr\xC3\xBC\xC3\x9F"
         "e aus K\xC3\xB6ln"},
        {"ISO-8859-1", "=?ISO-8859-1?Q?Caf=E9?=", "Caf\xC3\xA9"},
        {"Windows-1252", "=?windows-1252?B?k3F1b3RlZJQgliBkYXNo?=",
         "\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93 dash"},
        {"another charset, by the platform", "=?x-upper?Q?shout?=", "SHOUT"},
        {"an RFC 2231 language", "=?UTF-8*en?Q?hi?=", "hi"},
        {"adjacent words joined", "=?UTF-8?Q?one?= =?UTF-8?Q?_two?=", "one two"},
        {"adjacent across a folded line", "=?UTF-8?Q?a?=\r\n =?UTF-8?Q?b?=", "ab"},
        {"adjacent without a blank", "=?UTF-8?Q?a?==?UTF-8?Q?b?=", "ab"},
        {"a character split across two words", "=?UTF-8?B?4g==?= =?UTF-8?B?gqw=?=", "\xE2\x82\xAC"},
        {"adjacent words in two charsets",
         "=?ISO-8859-1?Q?=E9?= =?UTF-8?Q?=C3=A9?=", "\xC3\xA9\xC3\xA9"},
        {"text between words stays", "=?UTF-8?Q?a?= and =?UTF-8?Q?b?=", "a and b"},
        {"a word inside a word", "Re:=?UTF-8?Q?x?=!", "Re:x!"},
        {"folded text", "Hello\r\n\tcontinued", "Hello continued"},
        {"bare UTF-8", "Caf\xC3\xA9 cr\xC3\xA8me", "Caf\xC3\xA9 cr\xC3\xA8me"},
        {"bare 8-bit of another charset", "Caf\xE9 \x80", "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"US-ASCII holding 8-bit bytes", "=?us-ascii?Q?Caf=E9?=", "Caf\xC3\xA9"},
        {"controls become blanks",
         "a\x01"
         "b\x7F",
         "a b "},
        {"an encoded line break", "=?UTF-8?Q?a=0D=0Ab?=", "a  b"},
        {"an unknown charset", "=?x-unknown?Q?abc?=", "=?x-unknown?Q?abc?="},
        {"bytes invalid in the charset", "=?UTF-8?Q?=E9?=", "=?UTF-8?Q?=E9?="},
        {"invalid in the stand-in", "=?x-upper?Q?=E9?=", "=?x-upper?Q?=E9?="},
        {"a joined run that is invalid", "=?UTF-8?Q?=E9?= =?UTF-8?Q?x?= tail",
         "=?UTF-8?Q?=E9?= =?UTF-8?Q?x?= tail"},
        {"invalid base64", "=?UTF-8?B?####?=", "=?UTF-8?B?####?="},
        {"padding alone", "=?UTF-8?B?=?=", "=?UTF-8?B?=?="},
        {"one character of base64", "=?UTF-8?B?Q?=", "=?UTF-8?B?Q?="},
        {"base64 without padding", "=?UTF-8?B?w6k?=", "\xC3\xA9"},
        {"data after padding", "=?UTF-8?B?w6k=w6k=?=", "=?UTF-8?B?w6k=w6k=?="},
        {"an unknown encoding", "=?UTF-8?X?abc?=", "=?UTF-8?X?abc?="},
        {"a broken Q escape", "=?UTF-8?Q?=ZZ?=", "=?UTF-8?Q?=ZZ?="},
        {"a word never ended", "=?UTF-8?Q?open", "=?UTF-8?Q?open"},
        {"no charset", "=??Q?abc?=", "=??Q?abc?="},
        {"a malformed word beside a good one",
         "=?UTF-8?B?####?= =?UTF-8?Q?ok?=", "=?UTF-8?B?####?= ok"},
        {"bare 8-bit beside a word", "\xE9t\xE9 =?UTF-8?Q?=C3=A9?=", "\xC3\xA9t\xC3\xA9 \xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeHeaderText(c.raw, StandIn), c.shown) << c.name;
    EXPECT_EQ(DecodeHeaderText("=?x-upper?Q?abc?=", nullptr), "=?x-upper?Q?abc?=")
        << "without a decoder only the common charsets";
}

TEST(HeaderText, CommonCharsetsNeedNoHelp)
{
    EXPECT_EQ(DecodeCommonCharset("utf8", "\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(DecodeCommonCharset("UTF-8", "\xE9"), std::nullopt);
    EXPECT_EQ(DecodeCommonCharset("Latin1", "\xE9"), "\xC3\xA9");
    EXPECT_EQ(DecodeCommonCharset("CP1252", "\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(DecodeCommonCharset("KOI8-R", "\xF0"), std::nullopt);
}

} // namespace
} // namespace vorlane
