#include "util/AtomicFile.h"

#include "util/FileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& what, int error)
{
    throw FileError(what + " " + file.string() + ": " + std::strerror(error));
}

void WriteAll(int fd, const std::string& data, const std::filesystem::path& file)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const auto n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(file, "Cannot write", errno);
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

FileContent ReadWholeFile(const std::filesystem::path& file)
{
    FileContent content;
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        content.exists = errno != ENOENT;
        content.error = content.exists ? errno : 0;
        return content;
    }
    content.exists = true;
    struct stat status
    {};
    if (::fstat(fd.Get(), &status) != 0) {
        content.error = errno;
        return content;
    }
    if (!S_ISREG(status.st_mode)) {
        content.error = S_ISDIR(status.st_mode) ? EISDIR : FileContent::kNotRegularFile;
        return content;
    }
    content.bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    while (true) {
        const auto n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            content.error = errno;
            return content;
        }
        if (n == 0)
            return content;
        content.bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

void ReplaceAtomically(const std::filesystem::path& file, const std::string& content)
{
    std::string temporary = file.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.Get() < 0)
        Fail(file, "Cannot write", errno);
    try {
        if (::fchmod(fd.Get(), 0600) != 0)
            Fail(temporary, "Cannot write", errno);
        WriteAll(fd.Get(), content, temporary);
        if (::fsync(fd.Get()) != 0)
            Fail(temporary, "Cannot write", errno);
        if (::close(fd.Release()) != 0)
            Fail(temporary, "Cannot write", errno);
        if (::rename(temporary.c_str(), file.c_str()) != 0)
            Fail(file, "Cannot replace", errno);
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

} // namespace vorlane
