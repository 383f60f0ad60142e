#pragma once

#include <unistd.h>
#include <utility>

namespace vorlane {

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

} // namespace vorlane
