#include "ui/Autostart.h"

#include "support/TempDir.h"

#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace vorlane {
namespace {

using test::TempDir;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Autostart, TheUsersFolderFollowsXdgConfigHomeElseHomeDotConfig)
{
    const TempDir dir("autostart-xdg");
    const std::string config = (dir / "config").string();
    const std::string home = (dir / "home").string();
    const ScopedVariable homeVariable("HOME", home.c_str());
    const struct
    {
        const char* configHome; // nullptr: unset
        std::filesystem::path expected;
    } cases[] = {
        {config.c_str(), dir / "config" / "autostart" / "vorlane.desktop"},
        {nullptr, dir / "home" / ".config" / "autostart" / "vorlane.desktop"},
        {"", dir / "home" / ".config" / "autostart" / "vorlane.desktop"},
        // Relative paths are invalid in the base directory variables and are ignored.
        {"relative/config", dir / "home" / ".config" / "autostart" / "vorlane.desktop"},
    };
    for (const auto& c : cases) {
        const ScopedVariable variable("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(Autostart::ForCurrentUser().EntryFile(), c.expected)
            << (c.configHome ? c.configHome : "unset");
    }
}

TEST(Autostart, EnableWritesTheEntryAndDisableRemovesIt)
{
    const TempDir dir("autostart");
    const ScopedVariable variable("XDG_CONFIG_HOME", dir.Path().c_str());
    const auto autostart = Autostart::ForCurrentUser();
    const auto file = dir / "autostart" / "vorlane.desktop";
    EXPECT_FALSE(autostart.Enabled());
    EXPECT_NO_THROW(autostart.Disable()) << "nothing to remove is no failure";

    autostart.Enable("/usr/local/bin/vorlane");
    ASSERT_TRUE(std::filesystem::exists(file)) << "the missing folder is created";
    EXPECT_TRUE(autostart.Enabled());
    EXPECT_EQ(test::ReadFile(file), "[Desktop Entry]\n"
                                    "Type=Application\n"
                                    "Name=Vorlane\n"
                                    "Comment=Checks POP3 mailboxes for new mail and synchronizes "
                                    "the clock\n"
                                    "Exec=/usr/local/bin/vorlane\n"
                                    "Icon=vorlane\n"
                                    "Terminal=false\n"
                                    "X-GNOME-Autostart-enabled=true\n");

    // Writing again replaces the entry whole and leaves no temporary file behind.
    autostart.Enable("/home/ann/.local/bin/vorlane");
    EXPECT_NE(test::ReadFile(file).find("\nExec=/home/ann/.local/bin/vorlane\n"),
              std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "autostart"),
                            std::filesystem::directory_iterator()),
              1);

    // Other programs' entries stay.
    test::WriteFile(dir / "autostart" / "other.desktop", "[Desktop Entry]\n");
    autostart.Disable();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(autostart.Enabled());
    EXPECT_TRUE(std::filesystem::exists(dir / "autostart" / "other.desktop"));
}

TEST(Autostart, AFolderThatCannotBeMadeIsAFailureNamingTheFile)
{
    const TempDir dir("autostart-blocked");
    // A plain file where the folder should be: unwritable for every user, root included.
    test::WriteFile(dir / "blocked", "");
    const Autostart autostart(dir / "blocked" / "autostart");
    try {
        autostart.Enable("/usr/bin/vorlane");
        FAIL() << "no failure";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(autostart.EntryFile().string()), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(autostart.Enabled());
}

TEST(Autostart, ExecArgumentsAreQuotedAsDesktopEntriesRequire)
{
    const struct
    {
        const char* argument;
        const char* written;
    } cases[] = {
        {"/usr/bin/vorlane", "/usr/bin/vorlane"},
        {"/opt/my programs/vorlane", "\"/opt/my programs/vorlane\""},
        {"/opt/it's/vorlane", "\"/opt/it's/vorlane\""},
        // Inside quotes ", `, $ and \ get a \, which the string escapes then double.
        {"/opt/a$b/vorlane", "\"/opt/a\\\\$b/vorlane\""},
        {"/opt/a`b\"c/vorlane", "\"/opt/a\\\\`b\\\\\"c/vorlane\""},
        {"/opt/a\\b/vorlane", "\"/opt/a\\\\\\\\b/vorlane\""},
        // % starts a field code; a literal one is doubled, with or without quotes.
        {"/opt/100%/vorlane", "/opt/100%%/vorlane"},
        {"/opt/100% sure/vorlane", "\"/opt/100%% sure/vorlane\""},
        {"/opt/~user/(x)/vorlane", "\"/opt/~user/(x)/vorlane\""},
        {"/opt/tab\there", "\"/opt/tab\\there\""},
        {"", "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopExecArgument(c.argument), c.written) << c.argument;
}

TEST(Autostart, TheEntryPassesDesktopFileValidate)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const TempDir dir("autostart-validate");
    for (const char* program :
         {"/usr/bin/vorlane", "/opt/My Programs/vorlane", "/opt/100% $sure/vorlane"}) {
        const Autostart autostart(dir.Path());
        autostart.Enable(program);
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(validator, {QString::fromStdString(autostart.EntryFile().string())});
        ASSERT_TRUE(check.waitForFinished(30000));
        const std::string said = check.readAll().toStdString();
        EXPECT_EQ(check.exitCode(), 0) << program << ": " << said;
        EXPECT_EQ(said, "") << program;
    }
}

} // namespace
} // namespace vorlane
