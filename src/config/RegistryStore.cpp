#include "config/RegistryStore.h"

#include "config/RegistryError.h"

#include <algorithm>
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
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
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

// Takes the lock that every writer holds for as long as its temporary file exists: flock on
// <file>.lock, released when the descriptor closes. Without waiting, an invalid descriptor when
// another writer holds it.
FileDescriptor LockWriters(const std::filesystem::path& file, bool wait)
{
    const auto lockName = file.string() + ".lock";
    FileDescriptor lock(::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        FailOnFile(lockName, "Cannot lock", errno);
    while (::flock(lock.Get(), wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
        if (!wait && errno == EWOULDBLOCK)
            return FileDescriptor(-1);
        if (errno != EINTR)
            FailOnFile(lockName, "Cannot lock", errno);
    }
    return lock;
}

// The name mkstemp gives a temporary file of the file: "<name>." and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view fileName)
{
    constexpr std::size_t kRandomLength = 6;
    if (name.size() != fileName.size() + 1 + kRandomLength || !name.starts_with(fileName) ||
        name[fileName.size()] != '.')
        return false;
    const auto random = name.substr(fileName.size() + 1);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

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

    const auto lock = LockWriters(file_, true);

    const auto before = ReadWholeFile(file_);
    RegistryKey root =
        before ? ParseRegFile(*before, file_.string(), options_) : RegistryKey("HKEY_CURRENT_USER");
    change(root);
    const auto after = SerializeRegFile(root);
    if (before != after)
        ReplaceAtomically(file_, after);
}

void RegistryStore::RemoveInterruptedSaves()
{
    const auto folder = file_.parent_path();
    struct stat status
    {};
    if (::stat(folder.c_str(), &status) != 0 && errno == ENOENT)
        return;
    const auto lock = LockWriters(file_, false);
    if (lock.Get() < 0)
        return; // a save is under way; its temporary file is not a leftover
    const auto fileName = file_.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (!IsTemporaryName(entry->path().filename().string(), fileName) ||
            entry->symlink_status().type() == std::filesystem::file_type::directory)
            continue;
        if (::unlink(entry->path().c_str()) != 0 && errno != ENOENT)
            FailOnFile(entry->path(), "Cannot remove", errno);
    }
    if (error)
        FailOnFile(folder, "Cannot list the folder", error.value());
}

} // namespace vorlane
