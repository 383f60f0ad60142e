#include "servers/XDesktop.h"

#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorlane::test {

namespace {

using namespace std::chrono_literals;

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

} // namespace

bool XDesktop::Available(std::string& why)
{
    if (::access("/usr/bin/Xvfb", X_OK) == 0 && ::access("/usr/bin/trayer", X_OK) == 0 &&
        ::access("/usr/bin/xwininfo", X_OK) == 0)
        return true;
    why = "Xvfb, trayer and xwininfo are needed (Debian packages xvfb, trayer, x11-utils)";
    return false;
}

XDesktop::XDesktop()
{
    // A number whose server is still going away can look free; the next one is tried then.
    for (int number = 90; number < 200; ++number) {
        if (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock") ||
            std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
            continue;
        display_ = ":" + std::to_string(number);
        xvfb_ = ::fork();
        if (xvfb_ == 0) {
            ::execlp("Xvfb", "Xvfb", display_.c_str(), "-screen", "0", "640x480x24", "-nolisten",
                     "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The server takes clients a moment after it started.
        for (int i = 0; i < 200 && Windows("-root").empty(); ++i)
            std::this_thread::sleep_for(50ms);
        int status = 0;
        if (::waitpid(xvfb_, &status, WNOHANG) == 0 && !Windows("-root").empty())
            return;
        Stop(xvfb_);
        xvfb_ = -1;
    }
    display_.clear();
}

XDesktop::~XDesktop()
{
    for (const pid_t pid : {trayer_, xvfb_})
        if (pid > 0)
            Stop(pid);
}

bool XDesktop::StartTrayer()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        trayer_ = ::fork();
        if (trayer_ == 0) {
            ::setenv("DISPLAY", display_.c_str(), 1);
            ::execlp("trayer", "trayer", "--edge", "bottom", "--align", "right", "--widthtype",
                     "pixel", "--width", "96", "--heighttype", "pixel", "--height", "32",
                     "--transparent", "false", "--tint", "0x4060a0", "--SetDockType", "true",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (!Windows("-name panel").empty())
                return true;
            std::this_thread::sleep_for(50ms);
        }
        Stop(trayer_);
        trayer_ = -1;
    }
    return false;
}

std::string XDesktop::Windows(const std::string& arguments) const
{
    std::string output;
    const auto command = "DISPLAY=" + display_ + " xwininfo " + arguments + " 2>/dev/null";
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

std::string XDesktop::Grab(const std::filesystem::path& file, const std::string& area) const
{
#ifdef VORLANE_SCREEN_GRAB
    const auto command = "DISPLAY=" + display_ + " " + std::string(VORLANE_SCREEN_GRAB) + " '" +
                         file.string() + "' " + area;
    if (std::system(command.c_str()) != 0)
        return {};
    return ReadFile(file);
#else
    (void)file;
    (void)area;
    return {};
#endif
}

} // namespace vorlane::test
