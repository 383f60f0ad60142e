#include "config/RegistryStore.h"

#include "config/RegistryError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vorlane {

namespace {

[[noreturn]] void FailOnFile(const std::filesystem::path& file, const std::string& what, int error)
{
    throw RegistryFileError(what + " " + file.string() + ": " + std::strerror(error));
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The file's bytes, or nothing when it does not exist.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        FailOnFile(file, "Cannot read", errno);
    }
    std::string content;
    char buffer[65536];
    while (true) {
        const auto n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FailOnFile(file, "Cannot read", errno);
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

void WriteAll(int fd, const std::string& data, const std::filesystem::path& file)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const auto n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FailOnFile(file, "Cannot write", errno);
        done += static_cast<std::size_t>(n);
    }
}

void ReplaceAtomically(const std::filesystem::path& file, const std::string& content)
{
    std::string temporary = file.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.Get() < 0)
        FailOnFile(file, "Cannot write", errno);
    try {
        if (::fchmod(fd.Get(), 0600) != 0)
            FailOnFile(temporary, "Cannot write", errno);
        WriteAll(fd.Get(), content, temporary);
        if (::fsync(fd.Get()) != 0)
            FailOnFile(temporary, "Cannot write", errno);
        if (::close(fd.Release()) != 0)
            FailOnFile(temporary, "Cannot write", errno);
        if (::rename(temporary.c_str(), file.c_str()) != 0)
            FailOnFile(file, "Cannot replace", errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself reaches the disk with the directory.
    FileDescriptor directory(
        ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0)
        ::fsync(directory.Get());
}

} // namespace

RegistryStore::RegistryStore(std::filesystem::path file, RegFileOptions options)
    : file_(std::move(file)), options_(std::move(options))
{}

std::filesystem::path RegistryStore::DefaultPath()
{
    std::filesystem::path config;
    const char* xdgConfigHome = std::getenv("XDG_CONFIG_HOME");
    if (xdgConfigHome != nullptr && *xdgConfigHome == '/') {
        config = xdgConfigHome;
    } else {
        const char* home = std::getenv("HOME");
        config = std::filesystem::path(home != nullptr ? home : "") / ".config";
    }
    return config / "Vorlane" / "registry.reg";
}

RegistryKey RegistryStore::Read() const
{
    const auto content = ReadWholeFile(file_);
    return content ? ParseRegFile(*content, file_.string(), options_)
                   : RegistryKey("HKEY_CURRENT_USER");
}

void RegistryStore::Modify(const std::function<void(RegistryKey& root)>& change)
{
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    if (error)
        FailOnFile(file_.parent_path(), "Cannot create the folder", error.value());

    const auto lockName = file_.string() + ".lock";
    FileDescriptor lock(::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        FailOnFile(lockName, "Cannot lock", errno);
    while (::flock(lock.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            FailOnFile(lockName, "Cannot lock", errno);

    const auto before = ReadWholeFile(file_);
    RegistryKey root =
        before ? ParseRegFile(*before, file_.string(), options_) : RegistryKey("HKEY_CURRENT_USER");
    change(root);
    const auto after = SerializeRegFile(root);
    if (before != after)
        ReplaceAtomically(file_, after);
}

} // namespace vorlane
