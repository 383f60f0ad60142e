#include "util/Log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

std::mutex& LogLock()
{
    static std::mutex lock;
    return lock;
}

void WriteAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const auto n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // dropped: the log never fails towards its caller
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

TimeOfDay CurrentTimeOfDay()
{
    const auto now = std::chrono::system_clock::now();
    const auto seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms.count())};
}

std::string FormatLogEntry(std::string_view text, bool timeStamp, const TimeOfDay& time)
{
    std::string entry;
    if (timeStamp) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%02d:%02d:%02d.%02d ", time.hour, time.minute,
                      time.second, time.millisecond);
        entry = prefix;
    }
    entry.append(text);
    entry.append("\r\n");
    return entry;
}

std::string EscapeLogText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            escaped += "\r\n";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            escaped += code;
        } else {
            escaped.push_back(static_cast<char>(c));
        }
    }
    return escaped;
}

void AppendToLogFile(std::string_view text, bool timeStamp, const std::string& fileName)
{
    const std::lock_guard guard(LogLock());
    int fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    struct stat status
    {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && status.st_size >= kMaxLogFileSize) {
        ::close(fd);
        fd = -1;
        ::rename(fileName.c_str(), (fileName + ".1").c_str());
    }
    if (fd < 0)
        fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    WriteAll(fd, FormatLogEntry(text, timeStamp, CurrentTimeOfDay()));
    ::close(fd);
}

std::string LogFileNameIn(std::string_view directory)
{
    std::string name(directory);
    if (name.empty() || name.back() != '/')
        name.push_back('/');
    return name + "Vorlane.log";
}

std::string ChooseLogDirectory(std::string_view executableDirectory,
                               bool executableDirectoryWritable, const char* xdgStateHome,
                               const char* home)
{
    if (executableDirectoryWritable)
        return std::string(executableDirectory);
    std::string state;
    if (xdgStateHome != nullptr && *xdgStateHome == '/')
        state = xdgStateHome;
    else
        state = std::string(home != nullptr ? home : "") + "/.local/state";
    if (state.back() != '/')
        state.push_back('/');
    return state + "Vorlane";
}

std::string DetermineLogFileName()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto directory = error ? std::string(".") : executable.parent_path().string();
    const bool writable = ::access(directory.c_str(), W_OK) == 0;
    const auto chosen =
        ChooseLogDirectory(directory, writable, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (!writable)
        std::filesystem::create_directories(chosen, error);
    return LogFileNameIn(chosen);
}

} // namespace vorlane
