// `cmake --install` into a temporary prefix: the program, its desktop entry (valid for
// desktop-file-validate) and its icon in the hicolor theme at every size.
#include "support/TempDir.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct ProgramRun
{
    int exitCode = -1;
    std::string output;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.output = "did not finish: " + process.errorString().toStdString();
        return run;
    }
    run.output = process.readAll().toStdString();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

std::string IconFile(int size)
{
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    return "share/icons/hicolor/" + folder + "/apps/vorlane.png";
}

// The keys of the main group of a desktop entry.
std::map<std::string, std::string> DesktopEntryKeys(const std::string& text)
{
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line;
    bool inMainGroup = false;
    while (std::getline(lines, line)) {
        if (line.starts_with('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (const auto equals = line.find('='); inMainGroup && equals != std::string::npos)
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

class InstallTest : public testing::Test
{
protected:
    // One installation for every test of the program.
    static void SetUpTestSuite()
    {
        prefix_ = new TempDir("install");
        install_ = new ProgramRun(
            RunProgram(VORLANE_CMAKE_COMMAND, {"--install", VORLANE_BUILD_DIR, "--prefix",
                                               QString::fromStdString(prefix_->Path().string())}));
    }
    static void TearDownTestSuite()
    {
        delete install_;
        delete prefix_;
    }

    void SetUp() override { ASSERT_EQ(install_->exitCode, 0) << install_->output; }

    static fs::path Installed(const std::string& relative) { return prefix_->Path() / relative; }

    static TempDir* prefix_;
    static ProgramRun* install_;
};

TempDir* InstallTest::prefix_ = nullptr;
ProgramRun* InstallTest::install_ = nullptr;

TEST_F(InstallTest, LaysOutTheProgramTheDesktopEntryAndTheIconsAndNothingElse)
{
    std::set<std::string> expected = {"bin/vorlane", "share/applications/vorlane.desktop"};
    for (const int size : kIconSizes)
        expected.insert(IconFile(size));
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(prefix_->Path()))
        if (!entry.is_directory())
            found.insert(fs::relative(entry.path(), prefix_->Path()).string());
    EXPECT_EQ(found, expected);

    const auto program = fs::status(Installed("bin/vorlane"));
    EXPECT_EQ(program.type(), fs::file_type::regular);
    EXPECT_NE(program.permissions() & fs::perms::others_exec, fs::perms::none)
        << "every user may run it";
}

TEST_F(InstallTest, TheDesktopEntryStartsTheProgramWithItsIcon)
{
    const auto keys =
        DesktopEntryKeys(test::ReadFile(Installed("share/applications/vorlane.desktop")));
    const std::map<std::string, std::string> required = {
        {"Type", "Application"}, {"Name", "Vorlane"},   {"Exec", "vorlane"},
        {"Icon", "vorlane"},     {"Terminal", "false"}, {"Categories", "Network;Email;"},
    };
    for (const auto& [key, value] : required) {
        ASSERT_TRUE(keys.contains(key)) << key;
        EXPECT_EQ(keys.at(key), value) << key;
    }
    ASSERT_TRUE(keys.contains("Comment"));
    EXPECT_FALSE(keys.at("Comment").empty());
}

TEST_F(InstallTest, TheDesktopEntryPassesDesktopFileValidate)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate (desktop-file-utils) is missing";
    const ProgramRun check = RunProgram(
        validator, {QString::fromStdString(Installed("share/applications/vorlane.desktop"))});
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_EQ(check.output, "") << "no errors, warnings or hints";
}

TEST_F(InstallTest, EveryIconIsAPictureOfItsSizeWithATransparentBackground)
{
    for (const int size : kIconSizes) {
        const QImage icon(QString::fromStdString(Installed(IconFile(size)).string()), "PNG");
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
        // Something is drawn, and not over the whole square.
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(icon.pixel(x, y)) == 255;
        EXPECT_GT(opaque, size * size / 4) << size;
        EXPECT_LT(opaque, size * size) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size;
    }
}

} // namespace
} // namespace vorlane
