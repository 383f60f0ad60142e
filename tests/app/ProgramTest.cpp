// The program itself, started as a user starts it, against a real Dovecot on port 110.
#include "servers/Dovecot.h"
#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
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

    pid_t Start() const
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("HOME", (dir_ / "home").c_str(), 1);
            ::unsetenv("XDG_CONFIG_HOME");
            ::setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const auto program = (dir_ / "bin" / "vorlane").string();
            ::execl(program.c_str(), "vorlane", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    std::string Log() const { return ReadFile(dir_ / "bin" / "Vorlane.log"); }

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
    EXPECT_EQ(program.Log(), log) << "the second start changed nothing";
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

} // namespace
} // namespace vorlane
