#include "timesync/ClockProbe.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vorlane {
namespace {

using namespace test::clock_probe;

const char* Capsh()
{
    for (const char* path : {"/usr/sbin/capsh", "/sbin/capsh"})
        if (::access(path, X_OK) == 0)
            return path;
    return nullptr;
}

// Runs the program and returns its exit code, or -1 when it did not exit normally.
int RunToExit(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The probe under a shell whose bounding set has lost CAP_SYS_TIME, so neither the shell nor
// the probe it becomes can hold it.
std::vector<std::string> WithoutSysTime(const std::vector<std::string>& probeArguments)
{
    std::string command = "exec \"$0\"";
    for (std::size_t i = 1; i < probeArguments.size(); ++i)
        command += " '" + probeArguments[i] + "'";
    return {Capsh(), "--drop=cap_sys_time", "--", "-c", command, probeArguments[0]};
}

class ClockProbe : public testing::Test
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "dropping CAP_SYS_TIME is only meaningful as root";
        if (Capsh() == nullptr)
            GTEST_SKIP() << "capsh is not installed (Debian package libcap2-bin)";
    }
};

TEST_F(ClockProbe, TheGuardSeesTheCapabilityAndItsAbsence)
{
    EXPECT_EQ(RunToExit({VORLANE_CLOCK_PROBE, "--check-only"}), kCapabilityPresent);
    EXPECT_EQ(RunToExit(WithoutSysTime({VORLANE_CLOCK_PROBE, "--check-only"})), kCapabilityAbsent);
}

TEST_F(ClockProbe, TheSystemClockSetterIsRefusedWithoutTheCapability)
{
    EXPECT_EQ(RunToExit(WithoutSysTime({VORLANE_CLOCK_PROBE})), kRefused);
}

} // namespace
} // namespace vorlane
