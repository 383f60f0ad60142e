// The program itself, started as a user starts it, against a real Dovecot on port 110.
#include "servers/Dovecot.h"
#include "servers/XDesktop.h"
#include "servers/Xinetd.h"
#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using test::Dovecot;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using test::XDesktop;

// The program copied into a folder of its own (its log goes beside it), with a home of its own.
class Program
{
public:
    Program()
    {
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::copy_file(VORLANE_PROGRAM, dir_ / "bin" / "vorlane");
        for (const char* folder : {"home/.config/Vorlane", "run"})
            std::filesystem::create_directories(dir_ / folder);
        std::filesystem::permissions(dir_ / "run", std::filesystem::perms::owner_all);
    }

    void Configure(const std::string& registry)
    {
        WriteFile(dir_ / "home/.config/Vorlane/registry.reg", registry);
    }

    // On the offscreen platform, or on the X display given; optionally without the right to
    // set the clock.
    pid_t Start(const std::string& display = {}, bool withoutClockRight = false,
                const std::string& runtimeFolder = {},
                const std::vector<std::string>& arguments = {},
                const std::filesystem::path& output = {}) const
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (!output.empty())
                ::freopen(output.c_str(), "w", stdout);
            ::setenv("HOME", (dir_ / "home").c_str(), 1);
            ::unsetenv("XDG_CONFIG_HOME");
            ::setenv("XDG_RUNTIME_DIR",
                     runtimeFolder.empty() ? (dir_ / "run").c_str() : runtimeFolder.c_str(), 1);
            if (display.empty()) {
                ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            } else {
                ::setenv("QT_QPA_PLATFORM", "xcb", 1);
                ::setenv("DISPLAY", display.c_str(), 1);
            }
            const auto program = (dir_ / "bin" / "vorlane").string();
            if (withoutClockRight)
                ::execl("/usr/sbin/capsh", "capsh", "--drop=cap_sys_time", "--", "-c",
                        ("exec " + program).c_str(), static_cast<char*>(nullptr));
            else {
                std::vector<char*> argv{const_cast<char*>("vorlane")};
                for (const auto& argument : arguments)
                    argv.push_back(const_cast<char*>(argument.c_str()));
                argv.push_back(nullptr);
                ::execv(program.c_str(), argv.data());
            }
            ::_exit(127);
        }
        return pid;
    }

    std::string Log() const { return ReadFile(dir_ / "bin" / "Vorlane.log"); }
    const std::filesystem::path& Path() const { return dir_.Path(); }
    std::string Registry() const { return ReadFile(dir_ / "home/.config/Vorlane/registry.reg"); }

private:
    TempDir dir_{"program"};
};

// Waits for the process to end; -1 if it still runs after the time given.
int ExitCode(pid_t pid, std::chrono::milliseconds within)
{
    const auto end = std::chrono::steady_clock::now() + within;
    do {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < end);
    return -1;
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    ExitCode(pid, 5s);
}

template <typename Condition> bool WaitFor(Condition condition, std::chrono::milliseconds within)
{
    const auto end = std::chrono::steady_clock::now() + within;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

TEST(Program, PollsItsEntryLogsTheDialogueAndRefusesASecondInstance)
{
    std::string why;
    if (!Dovecot::Available(why))
        GTEST_SKIP() << why;
    Dovecot server(110);
    server.AddUser("joe", "abc");
    server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    try {
        server.Start();
    } catch (const std::exception& failure) {
        GTEST_SKIP() << "port 110 is not free here: " << failure.what();
    }

    Program program;
    program.Configure(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
        "\"LogToFile\"=dword:00000001\r\n\"DisplayHeaders\"=dword:00000001\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
        "\"Username\"=\"joe\"\r\n\"Server\"=\"localhost\"\r\n\"Password\"=hex(1):39,3b,3d\r\n");
    const pid_t first = program.Start();
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (program.Log().find("POP3 IN : +OK Logging out.") == std::string::npos &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
    const auto log = program.Log();

    const pid_t second = program.Start();
    EXPECT_EQ(ExitCode(second, 10s), 0) << "a second start ends at once";
    EXPECT_EQ(ExitCode(first, 0ms), -1) << "the first goes on";
    EXPECT_TRUE(WaitFor(
        [&] { return program.Log().ends_with(" Command from another start: settings\r\n"); }, 2s))
        << "the first opens its settings, and nothing else changed:\n"
        << program.Log().substr(log.size());
    EXPECT_TRUE(program.Log().starts_with(log));
    Stop(first);

    for (const char* line :
         {" Mailserver [Home]: Password ********\r\n", " Checking localhost for new mail.\r\n",
          " Socket: Resolving hostname\r\n", " Socket: Connecting\r\n", " Socket: Connected\r\n",
          " POP3 OUT: USER joe\r\n", " POP3 OUT: PASS ********\r\n", " POP3 OUT: STAT\r\n",
          " POP3 OUT: TOP 1 0\r\n", " POP3 IN : Subject: Hello\r\n", " POP3 OUT: QUIT\r\n",
          " POP3 IN : +OK Logging out.\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "missing in\n" << log;
    EXPECT_EQ(log.find("abc"), std::string::npos);
}

TEST(Program, WithoutATrayASecondStartOpensTheSettingsOfTheFirst)
{
    std::string why;
    if (!XDesktop::Available(why))
        GTEST_SKIP() << why;
    XDesktop desktop; // no tray
    ASSERT_FALSE(desktop.Display().empty()) << "Xvfb did not start";
    Program program;
    program.Configure("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
                      "\"LogToFile\"=dword:00000001\r\n");
    const pid_t first = program.Start(desktop.Display());
    ASSERT_TRUE(WaitFor(
        [&] { return std::filesystem::exists(program.Path() / "run" / "vorlane.socket"); }, 10s))
        << "the first does not listen for later starts";
    std::this_thread::sleep_for(500ms); // the first pass is over
    ASSERT_TRUE(desktop.Windows("-name 'Vorlane: Settings'").empty());
    const pid_t second = program.Start(desktop.Display());
    EXPECT_EQ(ExitCode(second, 5s), 0);
    EXPECT_TRUE(WaitFor([&] { return !desktop.Windows("-name 'Vorlane: Settings'").empty(); }, 2s))
        << program.Log();
    const pid_t quit = program.Start(desktop.Display(), false, {}, {"--quit"});
    EXPECT_EQ(ExitCode(quit, 5s), 0);
    EXPECT_EQ(ExitCode(first, 10s), 0) << "--quit ends the first, its settings window too";
}

TEST(Program, CheckPrintsJsonAndExitsByWhatItFound)
{
    std::string why;
    if (!Dovecot::Available(why))
        GTEST_SKIP() << why;
    Dovecot server(110);
    server.AddUser("joe", "abc");
    const int size = server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    try {
        server.Start();
    } catch (const std::exception& failure) {
        GTEST_SKIP() << "port 110 is not free here: " << failure.what();
    }
    Program program;
    program.Configure("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n\r\n"
                      "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
                      "\"Username\"=\"joe\"\r\n\"Server\"=\"localhost\"\r\n"
                      "\"Password\"=hex(1):39,3b,3d\r\n");
    const auto output = program.Path() / "check.json";
    const auto run = [&] {
        const pid_t check = program.Start({}, false, {}, {"--check", "--json"}, output);
        return ExitCode(check, 20s);
    };
    EXPECT_EQ(run(), 1) << "new mail";
    EXPECT_EQ(ReadFile(output), "[{\"count\":1,\"error\":null,\"name\":\"Home\",\"new\":true,"
                                "\"size\":" +
                                    std::to_string(size) + "}]\n");
    EXPECT_EQ(run(), 0) << "the same mail again";
}

TEST(Program, GoesOnWhenItCannotMakeItsLockFile)
{
    Program program;
    // A runtime folder nobody may write to, root included.
    const pid_t pid = program.Start({}, false, "/proc/self/fdinfo");
    EXPECT_EQ(ExitCode(pid, 3s), -1) << "it does not end as if another instance ran";
    Stop(pid);
}

// "X Y WIDTH HEIGHT" of a window from xwininfo's report of it.
std::string Area(const std::string& info)
{
    const auto number = [&](const std::string& label) {
        const auto at = info.find(label);
        return at == std::string::npos
                   ? std::string("0")
                   : std::to_string(std::atoi(info.c_str() + at + label.size()));
    };
    return number("Absolute upper-left X:") + " " + number("Absolute upper-left Y:") + " " +
           number("Width:") + " " + number("Height:");
}

TEST(Program, ShowsItsIconAndTheNewMailWindowOnARealDesktop)
{
    std::string why;
    if (!Dovecot::Available(why))
        GTEST_SKIP() << why;
    if (!XDesktop::Available(why))
        GTEST_SKIP() << why;
    Dovecot server(110);
    server.AddUser("joe", "abc");
    server.AddMessage("joe", "Ann <ann@example.org>", "Hello");
    server.AddMessage("joe", "Bob <bob@example.org>", "Lunch?");
    try {
        server.Start();
    } catch (const std::exception& failure) {
        GTEST_SKIP() << "port 110 is not free here: " << failure.what();
    }
    XDesktop desktop;
    desktop.StartTrayer();
    ASSERT_FALSE(desktop.Display().empty()) << "Xvfb did not start";
    ASSERT_TRUE(WaitFor([&] { return !desktop.Windows("-name panel").empty(); }, 10s))
        << "trayer did not start";

    Program program;
    program.Configure(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
        "\"LogToFile\"=dword:00000001\r\n\"DisplayHeaders\"=dword:00000001\r\n"
        "\"AutoHideTime\"=dword:00000002\r\n\"SystemBeep\"=dword:00000000\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
        "\"Username\"=\"joe\"\r\n\"Server\"=\"localhost\"\r\n\"Password\"=hex(1):39,3b,3d\r\n");
    const pid_t vorlane = program.Start(desktop.Display());
    const std::filesystem::path artifacts(VORLANE_ARTIFACTS);
    std::filesystem::create_directories(artifacts);

    // The icon sits in trayer's panel; the new-mail window shows the headers (60 pixels taller).
    ASSERT_TRUE(WaitFor([&] { return !desktop.Windows("-name 'Vorlane: Message'").empty(); }, 20s))
        << program.Log();
    const auto tree = desktop.Windows("-name panel -tree");
    EXPECT_NE(tree.find("(\"vorlane\" \"Vorlane\")"), std::string::npos) << tree;
    // 93 design pixels and 60 more for the headers, grown with the desktop's font.
    const auto window = desktop.Windows("-name 'Vorlane: Message'");
    const auto height = window.find("Height: ");
    ASSERT_NE(height, std::string::npos) << window;
    EXPECT_GE(std::atoi(window.c_str() + height + 8), 153) << window;
    std::this_thread::sleep_for(300ms); // painted
    desktop.Grab(artifacts / "message-window.png");
    const auto panel = Area(desktop.Windows("-name panel"));
    desktop.Grab(artifacts / "tray-polling.png", panel);

    // The window hides itself after two seconds; then the pass ends and the icon waves.
    ASSERT_TRUE(WaitFor(
        [&] {
            return desktop.Windows("-name 'Vorlane: Message'").find("IsViewable") ==
                   std::string::npos;
        },
        10s));
    std::set<std::string> frames;
    for (int i = 0; i < 12; ++i) {
        frames.insert(
            desktop.Grab(artifacts / ("tray-waving-" + std::to_string(i % 6) + ".png"), panel));
        std::this_thread::sleep_for(60ms);
    }
    EXPECT_GE(frames.size(), 3u) << "the icon does not wave";
    Stop(vorlane);
    EXPECT_NE(program.Log().find(" POP3 IN : Subject: Lunch?\r\n"), std::string::npos);
}

TEST(Program, SynchronizesWithoutTheRightToSetTheClock)
{
    std::string why;
    if (!test::Xinetd::Available(why))
        GTEST_SKIP() << why;
    if (::geteuid() != 0 || ::access("/usr/sbin/capsh", X_OK) != 0)
        GTEST_SKIP() << "needs root and capsh to take the right to set the clock away";
    if (!XDesktop::Available(why))
        GTEST_SKIP() << why;
    test::Xinetd xinetd(37);
    try {
        xinetd.Start();
    } catch (const std::exception& failure) {
        GTEST_SKIP() << "port 37 is not free here: " << failure.what();
    }
    XDesktop desktop;
    desktop.StartTrayer();
    Program program;
    program.Configure("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
                      "\"LogToFile\"=dword:00000001\r\n\"SyncronizeTime\"=dword:00000001\r\n"
                      "\"TimeServer\"=\"127.0.0.1\"\r\n");
    const pid_t vorlane = program.Start(desktop.Display(), true);

    ASSERT_TRUE(WaitFor([&] { return !desktop.Windows("-name 'Vorlane: Message'").empty(); }, 20s))
        << program.Log();
    EXPECT_NE(program.Log().find(" Error setting the local time: Permission denied.\r\n"),
              std::string::npos);
    EXPECT_EQ(program.Log().find("New local time"), std::string::npos);
    EXPECT_EQ(program.Registry().find("LastSynchronizedAt"), std::string::npos)
        << "recorded when the run ends";

    // The user closes the permission message; the run ends and records the attempt.
    const auto close = "/usr/bin/python3 " + std::string(VORLANE_CLOSE_WINDOW) + " " +
                       desktop.Display() + " 'Vorlane: Message'";
    EXPECT_EQ(std::system(close.c_str()), 0);
    EXPECT_TRUE(WaitFor(
        [&] { return program.Registry().find("\"LastSynchronizedAt\"=hex:") != std::string::npos; },
        10s))
        << program.Registry();
    Stop(vorlane);
}

} // namespace
} // namespace vorlane
