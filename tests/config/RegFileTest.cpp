#include "config/RegFile.h"

#include "config/PasswordScrambler.h"
#include "config/RegistryError.h"
#include "util/TextEncoding.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

// A text between quotes as the registry editor writes it.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

// A file as the registry editor of current Windows exports it: UTF-16LE with a byte-order mark.
std::string UnicodeExport(std::string_view utf8)
{
    return "\xFF\xFE" + EncodeUtf16Le(DecodeUtf8(utf8));
}

// A hex list of the UTF-16LE form of a text, as the Unicode export writes REG_EXPAND_SZ.
std::string Utf16Hex(std::u16string_view text)
{
    std::string hex;
    char byte[8];
    for (const char16_t unit : text) {
        std::snprintf(byte, sizeof byte, "%02x,%02x,", unit & 0xFF, unit >> 8);
        hex += byte;
    }
    return hex + "00,00";
}

RegistryKey SampleRoot(std::size_t hugeSize = 200000)
{
    RegistryKey root("HKEY_CURRENT_USER");
    auto& settings = root.CreateKey("SOFTWARE\\Mirvo\\Vorlane");
    settings.SetValue("LogToFile", BooleanValue(true));
    settings.SetValue("ConnectionTimeout", IntegerValue(-5));
    settings.SetValue("WaveFile", StringValue("C:\\Media\\\"quoted\" Z\xC3\xBCrich.wav"));
    settings.SetValue("Empty", StringValue(""));
    settings.SetValue("Controls", StringValue("tab\there\r\nnext line"));
    settings.SetValue("AllBytes", StringValue(AllBytes()));
    settings.SetValue("LastSynchronizedAt", DateTimeValue(45000.5));
    settings.SetValue("Expand", {REG_EXPAND_SZ, "%HOME%/x"});
    settings.SetValue("Nothing", {REG_NONE, ""});
    settings.SetValue("Qword", {11, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)});
    settings.SetValue("ShortDword", {REG_DWORD, "\x01\x02"});
    settings.SetValue("", StringValue("the default"));
    settings.SetValue("Na\"me\\", IntegerValue(7));
    settings.SetValue("Huge", {REG_BINARY, std::string(hugeSize, '\xAB')});
    auto& entry = settings.CreateKey("Home Box [1]");
    entry.SetValue("Password", StringValue(ScramblePassword(AllBytes())));
    settings.CreateKey("WORK");
    settings.CreateKey("empty-entry");
    root.CreateKey("Other\\Key");
    return root;
}

// A file with one key depth levels below HKEY_CURRENT_USER ("a\\a\\...") holding one value.
std::string DeepKeyFile(std::size_t depth, std::string_view sign = "")
{
    std::string path = "HKEY_CURRENT_USER";
    path.reserve(path.size() + 2 * depth);
    for (std::size_t level = 0; level < depth; ++level)
        path += "\\a";
    return "REGEDIT4\r\n\r\n[" + std::string(sign) + path + "]\r\n\"v\"=dword:00000001\r\n";
}

// "a\\a\\..." with depth components.
std::string DeepPath(std::size_t depth, std::string_view name = "a")
{
    std::string path(name);
    for (std::size_t level = 1; level < depth; ++level)
        path += "\\" + std::string(name);
    return path;
}

TEST(RegFile, Regedit4RoundTripKeepsEveryByteNameAndKind)
{
    const auto root = SampleRoot();
    const auto text = SerializeRegFile(root);
    const auto parsed = ParseRegFile(text, "registry.reg");
    EXPECT_EQ(parsed, root);
    EXPECT_EQ(SerializeRegFile(parsed), text);
}

TEST(RegFile, WritesTheRegistryEditorsExportFormat)
{
    RegistryKey root("HKEY_CURRENT_USER");
    auto& key = root.CreateKey("SOFTWARE\\Mirvo\\Vorlane");
    key.SetValue("LogToFile", BooleanValue(true));
    key.SetValue("WaveFile", StringValue("C:\\a \"b\".wav"));
    key.SetValue("Password", StringValue("\x39\x3B\x0D"));
    key.SetValue("", StringValue("x"));
    key.SetValue("Bin", {REG_BINARY, std::string(30, '\x11')});
    EXPECT_EQ(SerializeRegFile(root),
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE]\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo]\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
              "\"LogToFile\"=dword:00000001\r\n"
              "\"WaveFile\"=\"C:\\\\a \\\"b\\\".wav\"\r\n"
              "\"Password\"=hex(1):39,3b,0d\r\n"
              "@=\"x\"\r\n"
              "\"Bin\"=hex:11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,\\\r\n"
              "  11,11,11,11,11,11,11,11\r\n"
              "\r\n");
}

TEST(RegFile, ReadsHandWrittenFiles)
{
    const auto root = ParseRegFile("\r\n  REGEDIT4\n"
                                   "; a comment\n"
                                   "[hkey_current_user\\Software\\Mirvo\\Vorlane]   \n"
                                   "  \"Interval\" = dword:A ; ten\n"
                                   "\"Path\"=\"C:\\Tools\\mail.exe\"\n"
                                   "\"Bin\"=hex:01, 02 ,\\\n"
                                   "   03,\\  \r\n"
                                   "   04\n"
                                   "\"Gone\"=dword:1\n"
                                   "\"Gone\"=-\n"
                                   "[HKEY_CURRENT_USER\\Software\\Old]\n"
                                   "[-HKEY_CURRENT_USER\\Software\\Old]\n",
                                   "hand.reg");
    const auto* key = root.OpenKey("SOFTWARE\\MIRVO\\VORLANE");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(ReadInteger(*key->FindValue("Interval"), "Interval"), 10);
    EXPECT_EQ(ReadString(*key->FindValue("Path"), "Path"), "C:\\Tools\\mail.exe");
    EXPECT_EQ(key->FindValue("Bin")->data, "\x01\x02\x03\x04");
    EXPECT_EQ(key->FindValue("Gone"), nullptr);
    EXPECT_EQ(root.OpenKey("Software\\Old"), nullptr);
}

TEST(RegFile, MergesNamesThatDifferOnlyInLetterCase)
{
    const auto root = ParseRegFile("REGEDIT4\n"
                                   "[HKEY_CURRENT_USER\\Software\\Mirvo\\Vorlane\\Home]\n"
                                   "\"Server\"=\"first\"\n"
                                   "[HKEY_CURRENT_USER\\SOFTWARE\\MIRVO\\VORLANE\\HOME]\n"
                                   "\"SERVER\"=\"second\"\n",
                                   "case.reg");
    const auto* settings = root.OpenKey("Software\\Mirvo\\Vorlane");
    ASSERT_EQ(settings->SubkeyNames(), std::vector<std::string>{"Home"});
    const auto& values = settings->OpenKey("Home")->Values();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "Server");
    EXPECT_EQ(values[0].second, StringValue("second"));
}

TEST(RegFile, EmptyFileIsAnEmptyRegistry)
{
    EXPECT_TRUE(ParseRegFile("", "empty.reg").Subkeys().empty());
    EXPECT_TRUE(ParseRegFile(" \r\n\n", "blank.reg").Subkeys().empty());
    EXPECT_TRUE(ParseRegFile("REGEDIT4\r\n", "header.reg").Subkeys().empty());
}

TEST(RegFile, ReadsTheWindowsProgramsUnicodeExport)
{
    // What the Windows program stored: texts and the scrambled password in Windows-1252, which
    // the registry keeps in UTF-16 and the registry editor exports as such.
    const std::string password = "yes-\xDCn1!";
    const auto scrambled = ScramblePassword(password);
    const auto scrambledAsText = EncodeUtf8(DecodeWindows1252(scrambled));
    ASSERT_NE(scrambled.find('\r'), std::string::npos)
        << "a raw CR inside the quotes is part of the case";
    const auto file = UnicodeExport(
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
        "\"LogToFile\"=dword:00000001\r\n"
        "\"WaveFile\"=\"C:\\\\Media\\\\Ding \u00E9 \U0001F514.wav\"\r\n"
        "\"MailClient\"=\"\\\"C:\\\\Program Files\\\\Mail\\\\mail.exe\\\" /check\"\r\n"
        "\"RASConnection\"=\"|B\u00FCro|Home\"\r\n"
        "\"LastSynchronizedAt\"=hex:00,00,00,00,00,d0,e6,40\r\n"
        "\"Folder\"=hex(2):" +
        Utf16Hex(u"%USERPROFILE%\\Mail") +
        "\r\n"
        "\"Lines\"=hex(7):41,00,00,00,42,00,00,00,00,00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
        "\"Username\"=\"jo\u00EBl\"\r\n"
        "\"Interval\"=dword:00000005\r\n"
        "\"Password\"=" +
        Quoted(scrambledAsText) +
        "\r\n"
        "\"Second\"=hex(1):" +
        Utf16Hex(u"\u00E9") +
        "\r\n"
        "\r\n");
    const auto root = ParseRegFile(file, "export.reg", {{"Password"}});

    const auto* key = root.OpenKey("SOFTWARE\\Mirvo\\Vorlane");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(ReadString(*key->FindValue("WaveFile"), ""),
              "C:\\Media\\Ding \xC3\xA9 \xF0\x9F\x94\x94.wav");
    EXPECT_EQ(ReadString(*key->FindValue("MailClient"), ""),
              "\"C:\\Program Files\\Mail\\mail.exe\" /check");
    EXPECT_EQ(ReadString(*key->FindValue("RasConnection"), ""), "|B\xC3\xBCro|Home");
    EXPECT_EQ(ReadDateTime(*key->FindValue("LastSynchronizedAt"), ""), 46720.0);
    EXPECT_EQ(*key->FindValue("Folder"), (RegistryValue{REG_EXPAND_SZ, "%USERPROFILE%\\Mail"}));
    EXPECT_EQ(*key->FindValue("Lines"), (RegistryValue{7, std::string("A\0B\0\0", 5)}));
    const auto* entry = key->OpenKey("Home");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(ReadString(*entry->FindValue("Username"), ""), "jo\xC3\xABl");
    EXPECT_EQ(ReadStringData(*entry->FindValue("Password"), ""), scrambled);
    EXPECT_EQ(UnscramblePassword(ReadStringData(*entry->FindValue("Password"), "")), password);
    EXPECT_EQ(*entry->FindValue("Second"), StringValue("\xC3\xA9"));
}

TEST(RegFile, UnicodeRoundTripKeepsEveryPasswordByte)
{
    RegistryKey root("HKEY_CURRENT_USER");
    auto& entry = root.CreateKey("SOFTWARE\\Mirvo\\Vorlane\\Home");
    // Any byte but 0 can stand in a quoted Windows-1252 text; the zero byte needs hex(1).
    const auto scrambled = ScramblePassword(AllBytes()).substr(1);
    ASSERT_EQ(scrambled.find('\0'), std::string::npos);
    entry.SetValue("Password", StringValue(scrambled));
    entry.SetValue("Server", StringValue("pop.example.org"));

    const auto export5 = UnicodeExport("Windows Registry Editor Version 5.00\r\n\r\n"
                                       "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
                                       "\"Password\"=" +
                                       Quoted(EncodeUtf8(DecodeWindows1252(scrambled))) +
                                       "\r\n\"Server\"=\"pop.example.org\"\r\n");
    const auto fromUnicode = ParseRegFile(export5, "export.reg", {{"password"}});
    EXPECT_EQ(*fromUnicode.OpenKey("SOFTWARE\\Mirvo\\Vorlane\\Home"), entry);
    // And on through the file this program writes.
    EXPECT_EQ(ParseRegFile(SerializeRegFile(fromUnicode), "registry.reg", {{"Password"}}),
              fromUnicode);
}

TEST(RegFile, TakesAnsiTextsOfAWindowsRegedit4ExportAsWindows1252)
{
    const auto root =
        ParseRegFile("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\B\xFCro]\r\n"
                     "\"Server\"=\"pop.m\xFCller.de\"\r\n"
                     "\"Password\"=\"\x81\xFC\"\r\n",
                     "ansi.reg", {{"Password"}});
    const auto* entry = root.OpenKey("SOFTWARE\\Mirvo\\Vorlane\\B\xC3\xBCro");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(ReadString(*entry->FindValue("Server"), ""), "pop.m\xC3\xBCller.de");
    EXPECT_EQ(ReadStringData(*entry->FindValue("Password"), ""), "\x81\xFC");
}

TEST(RegFile, RefusesBrokenFilesNamingFileAndLine)
{
    const struct
    {
        const char* content;
        const char* expected; // start of the failure text
    } cases[] = {
        {"REGEDIT5\n", "bad.reg:1: not a registry file"},
        {"\n\nHello\n", "bad.reg:3: not a registry file"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\n", "bad.reg:2: a [key] line without its closing"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n", "bad.reg:2: only keys of HKEY_CURRENT_USER"},
        {"REGEDIT4\n[HKEY_CURRENT_USERS\\Software]\n", "bad.reg:2: only keys of HKEY_CURRENT_USER"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n", "bad.reg:2: invalid key name"},
        {"REGEDIT4\n\"x\"=dword:1\n", "bad.reg:2: a value outside of a [key] section"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\" dword:1\n", "bad.reg:3: expected \"=\""},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n\n",
         "bad.reg:3: a text without its closing quote"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n",
         "bad.reg:3: expected up to eight"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:\n", "bad.reg:3: expected up to eight"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:12 34\n",
         "bad.reg:3: unexpected text after the value"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,zz\n",
         "bad.reg:3: expected a hexadecimal byte"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\ 02\n",
         "bad.reg:3: a \"\\\" that does not end"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex(1:01\n", "bad.reg:3: expected \")\""},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hexa:01\n", "bad.reg:3: expected \":\""},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=str:1\n",
         "bad.reg:3: unknown kind of value data"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"two\nlines\"=dword:1\n",
         "bad.reg:3: invalid value name"},
        {"REGEDIT4\n[-HKEY_CURRENT_USER]\n",
         "bad.reg:2: HKEY_CURRENT_USER itself cannot be deleted"},
    };
    for (const auto& c : cases) {
        try {
            ParseRegFile(c.content, "bad.reg");
            ADD_FAILURE() << "accepted: " << c.content;
        } catch (const RegistryFileError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(c.expected)) << error.what();
        }
    }
}

TEST(RegFile, RefusesKeyPathsDeeperThanTheRegistryAllowsNamingFileAndLine)
{
    const struct
    {
        std::size_t depth;
        const char* sign; // "-": a deletion of the key
    } cases[] = {{513, ""}, {200000, ""}, {513, "-"}, {200000, "-"}};
    for (const auto& c : cases) {
        try {
            ParseRegFile(DeepKeyFile(c.depth, c.sign), "deep.reg");
            ADD_FAILURE() << "accepted a key " << c.depth << " levels deep";
        } catch (const RegistryFileError& error) {
            EXPECT_STREQ(error.what(), "deep.reg:3: a key path deeper than 512 levels")
                << c.sign << c.depth;
        }
    }
}

TEST(RegFile, KeysAtTheDepthLimitLoadSerializeAndMove)
{
    auto root = ParseRegFile(DeepKeyFile(512), "deep.reg");
    const auto* deepest = root.OpenKey(DeepPath(512));
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(*deepest->FindValue("v"), IntegerValue(1));
    EXPECT_EQ(ParseRegFile(SerializeRegFile(root), "registry.reg"), root);

    MoveKey(root, "a", "b");
    EXPECT_EQ(root.OpenKey("a"), nullptr);
    ASSERT_NE(root.OpenKey("b\\" + DeepPath(511)), nullptr);
    EXPECT_EQ(*root.OpenKey("b\\" + DeepPath(511))->FindValue("v"), IntegerValue(1));
}

// Far more than any settings file holds. Every value and key must take logarithmic time, or such
// a file takes minutes to load.
TEST(RegFile, LargeFilesKeepOrderSpellingAndDeletions)
{
    constexpr int kValues = 300000;
    constexpr int kKeys = 100000;
    std::string file = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Values]\r\n";
    for (int i = 0; i < kValues; ++i)
        file += "\"Value" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\r\n";
    file += "\"VALUE7\"=\"seven\"\r\n\"value3\"=-\r\n";
    std::vector<std::string> keyNames;
    for (int i = 0; i < kKeys; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Key%06d", i);
        keyNames.emplace_back(name);
    }
    for (auto name = keyNames.rbegin(); name != keyNames.rend(); ++name) // the worst order
        file += "[HKEY_CURRENT_USER\\Keys\\" + *name + "]\r\n\"v\"=dword:1\r\n";
    file += "[HKEY_CURRENT_USER\\VALUES]\r\n\"Last\"=dword:2\r\n";

    const auto root = ParseRegFile(file, "large.reg");
    const auto& values = root.OpenKey("Values")->Values();
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kValues));
    EXPECT_EQ(values[3].first, "Value4");
    EXPECT_EQ(values[6], (RegistryKey::NamedValue{"Value7", StringValue("seven")}));
    EXPECT_EQ(values.back(), (RegistryKey::NamedValue{"Last", IntegerValue(2)}));
    EXPECT_EQ(*root.OpenKey("Values")->FindValue("value299999"), StringValue("299999"));
    EXPECT_EQ(root.OpenKey("Keys")->SubkeyNames(), keyNames);
    EXPECT_EQ(ParseRegFile(SerializeRegFile(root), "registry.reg"), root);
}

TEST(RegFile, RefusesAUnicodeTextOfOddLength)
{
    const auto file =
        UnicodeExport("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
                      "\"x\"=hex(1):41,00,42\r\n");
    EXPECT_THROW(ParseRegFile(file, "odd.reg"), RegistryFileError);
}

TEST(RegFile, TruncatedFilesFailOrKeepWhatIsWhole)
{
    const auto text = SerializeRegFile(SampleRoot(1000));
    // Cut anywhere: either a clear failure or a registry; never a crash or a hang.
    for (std::size_t length = 0; length < text.size(); ++length) {
        try {
            ParseRegFile(std::string_view(text).substr(0, length), "cut.reg");
        } catch (const RegistryFileError&) {
        }
    }
}

} // namespace
} // namespace vorlane
