#include "servers/Xinetd.h"

#include "servers/ScriptedServer.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorlane::test {

namespace {

constexpr const char* kXinetd = "/usr/sbin/xinetd";

} // namespace

bool Xinetd::Available(std::string& why)
{
    if (::access(kXinetd, X_OK) != 0) {
        why = "xinetd is not installed (Debian package xinetd)";
        return false;
    }
    return true;
}

Xinetd::Xinetd(int port) : port_(port == 0 ? UnusedPort() : port)
{
    // The service is named "time" because xinetd finds its internal services by name; UNLISTED
    // lets it take a port of its own instead of 37 from /etc/services.
    std::string config = R"(defaults
{
    log_type    = FILE @DIR@/service.log
}
service time
{
    type        = INTERNAL UNLISTED
    id          = time-stream
    socket_type = stream
    protocol    = tcp
    wait        = no
    bind        = 127.0.0.1
    port        = @PORT@
}
)";
    config.replace(config.find("@DIR@"), 5, dir_.Path().string());
    config.replace(config.find("@PORT@"), 6, std::to_string(port_));
    WriteFile(dir_ / "xinetd.conf", config);
}

Xinetd::~Xinetd()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void Xinetd::Start()
{
    const auto config = (dir_ / "xinetd.conf").string();
    const auto pidFile = (dir_ / "xinetd.pid").string();
    const auto log = (dir_ / "xinetd.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execl(kXinetd, "xinetd", "-dontfork", "-f", config.c_str(), "-pidfile", pidFile.c_str(),
                "-filelog", log.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid_ < 0)
        throw std::runtime_error("cannot start xinetd");
    // Probing the port would use up a time answer; xinetd says in its log when it listens.
    for (int i = 0; i < 200; ++i) {
        const std::string text = ReadFile(log);
        if (text.find("Started working: 1 available service") != std::string::npos)
            return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("xinetd ended at start: " + text);
        }
        if (text.find("Started working") != std::string::npos)
            throw std::runtime_error("xinetd does not serve the time service: " + text);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("xinetd does not start: " + ReadFile(log));
}

} // namespace vorlane::test
