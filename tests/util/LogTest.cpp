#include "util/Log.h"

#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace vorlane {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(FormatLogEntry, WritesMillisecondsWithAtLeastTwoDigits)
{
    const struct
    {
        TimeOfDay time;
        const char* text;
        const char* expected;
    } cases[] = {
        {{9, 5, 3, 7}, "Socket: Connected", "09:05:03.07 Socket: Connected\r\n"},
        {{9, 5, 3, 70}, "Socket: Connected", "09:05:03.70 Socket: Connected\r\n"},
        {{9, 5, 3, 123}, "Socket: Connected", "09:05:03.123 Socket: Connected\r\n"},
        {{23, 59, 59, 0}, "", "23:59:59.00 \r\n"},
        {{0, 0, 0, 999}, "Mail error: a\r\nb\r\n", "00:00:00.999 Mail error: a\r\nb\r\n\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLogEntry(c.text, true, c.time), c.expected);
}

TEST(FormatLogEntry, WithoutTimeStampIsTheTextAlone)
{
    EXPECT_EQ(FormatLogEntry("x", false, {1, 2, 3, 4}), "x\r\n");
}

TEST(AppendToLogFile, CreatesTheFileThenAppends)
{
    const TempDir dir;
    const auto file = (dir / "Vorlane.log").string();
    AppendToLogFile("Socket: Connected", true, file);
    const std::regex stamped(R"(\d\d:\d\d:\d\d\.\d{2,3} Socket: Connected\r\n)");
    EXPECT_TRUE(std::regex_match(ReadFile(file), stamped)) << ReadFile(file);

    AppendToLogFile("second", false, file);
    const auto content = ReadFile(file);
    EXPECT_TRUE(content.ends_with("Connected\r\nsecond\r\n")) << content;

    struct stat status
    {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(AppendToLogFile, RecreatesADeletedFile)
{
    const TempDir dir;
    const auto file = dir / "Vorlane.log";
    AppendToLogFile("one", false, file.string());
    std::filesystem::remove(file);
    AppendToLogFile("two", false, file.string());
    EXPECT_EQ(ReadFile(file), "two\r\n");
}

TEST(AppendToLogFile, DropsEntriesItCannotWriteSilently)
{
    const TempDir dir;
    std::filesystem::create_directory(dir / "a-folder");
    // A folder in the file's place and a missing folder: nothing is written, nothing is thrown.
    for (const auto& target : {dir / "a-folder", dir / "missing" / "Vorlane.log"}) {
        EXPECT_NO_THROW(AppendToLogFile("lost", true, target.string()));
        EXPECT_FALSE(std::filesystem::is_regular_file(target));
    }
    AppendToLogFile("kept", false, (dir / "Vorlane.log").string());
    EXPECT_EQ(ReadFile(dir / "Vorlane.log"), "kept\r\n");
}

TEST(AppendToLogFile, KeepsLinesWholeUnderConcurrentWriters)
{
    const TempDir dir;
    const auto file = (dir / "Vorlane.log").string();
    const std::string text(300, 'x');
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                AppendToLogFile(text, false, file);
        });
    for (auto& writer : writers)
        writer.join();
    const auto content = ReadFile(file);
    const std::string line = text + "\r\n";
    ASSERT_EQ(content.size(), 800 * line.size());
    for (std::size_t at = 0; at < content.size(); at += line.size())
        ASSERT_EQ(content.compare(at, line.size(), line), 0) << "line at byte " << at;
}

TEST(EscapeLogText, ControlBytesCannotForgeOrHideLines)
{
    const struct
    {
        std::string text;
        const char* expected;
    } cases[] = {
        {"POP3 IN : +OK ready", "POP3 IN : +OK ready"},
        {"POP3 IN : a\nPOP3 OUT: PASS secret", "POP3 IN : a\\x0APOP3 OUT: PASS secret"},
        {std::string("nul\0esc\x1b[2Jdel\x7f", 15), "nul\\x00esc\\x1B[2Jdel\\x7F"},
        {"lone CR\rend", "lone CR\\x0Dend"},
        {"Mail error: a\r\nb", "Mail error: a\r\nb"},
        {"caf\xE9 \\ stays", "caf\xE9 \\ stays"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeLogText(c.text), c.expected) << c.expected;
}

TEST(AppendToLogFile, MovesAFullLogAsideAndStartsAnew)
{
    const TempDir dir;
    const auto file = (dir / "Vorlane.log").string();
    {
        std::ofstream old(file + ".1");
        old << "older";
        std::ofstream full(file);
        full << std::string(static_cast<std::size_t>(kMaxLogFileSize) - 1, 'x');
    }
    AppendToLogFile("fits", false, file);
    EXPECT_EQ(std::filesystem::file_size(file), static_cast<std::uintmax_t>(kMaxLogFileSize) + 5);
    AppendToLogFile("next", false, file);
    EXPECT_EQ(ReadFile(file), "next\r\n");
    EXPECT_EQ(std::filesystem::file_size(file + ".1"),
              static_cast<std::uintmax_t>(kMaxLogFileSize) + 5)
        << "the full log replaced the older one";
}

TEST(LogFileNameIn, PutsExactlyOneSeparatorBeforeTheName)
{
    EXPECT_EQ(LogFileNameIn("/opt/tools"), "/opt/tools/Vorlane.log");
    EXPECT_EQ(LogFileNameIn("/opt/tools/"), "/opt/tools/Vorlane.log");
    EXPECT_EQ(LogFileNameIn("/"), "/Vorlane.log");
    EXPECT_EQ(LogFileNameIn("//server/share"), "//server/share/Vorlane.log");
}

TEST(ChooseLogDirectory, UsesTheProgramFolderWhenWritableElseTheStateFolder)
{
    EXPECT_EQ(ChooseLogDirectory("/opt/vorlane", true, "/s", "/home/u"), "/opt/vorlane");
    EXPECT_EQ(ChooseLogDirectory("/usr/bin", false, "/home/u/state", "/home/u"),
              "/home/u/state/Vorlane");
    EXPECT_EQ(ChooseLogDirectory("/usr/bin", false, "/home/u/state/", "/home/u"),
              "/home/u/state/Vorlane");
    EXPECT_EQ(ChooseLogDirectory("/usr/bin", false, nullptr, "/home/u"),
              "/home/u/.local/state/Vorlane");
    EXPECT_EQ(ChooseLogDirectory("/usr/bin", false, "", "/home/u"), "/home/u/.local/state/Vorlane");
    // A relative XDG folder is not valid and is ignored.
    EXPECT_EQ(ChooseLogDirectory("/usr/bin", false, "state", "/home/u"),
              "/home/u/.local/state/Vorlane");
}

TEST(DetermineLogFileName, NamesVorlaneLogInAnExistingFolder)
{
    const auto name = DetermineLogFileName();
    EXPECT_TRUE(name.ends_with("/Vorlane.log")) << name;
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(name).parent_path())) << name;
}

} // namespace
} // namespace vorlane
