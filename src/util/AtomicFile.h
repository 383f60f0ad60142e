#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vorlane {

// A file could not be written or replaced; the text names the file and the system's reason
// ("Cannot write <file>: <reason>").
class FileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What reading a file found: that it does not exist, its bytes, or why they cannot be read.
struct FileContent
{
    static constexpr int kNotRegularFile = -1;

    bool exists = false;
    std::string bytes;
    int error = 0; // an errno value, or kNotRegularFile
};

// The whole file. It is opened without waiting, so that a pipe in its place cannot block the
// program; anything but a regular file is an error.
FileContent ReadWholeFile(const std::filesystem::path& file);

// Replaces the file with the content, all or nothing: a private (0600) temporary file beside it
// ("<file>." and six random characters), flushed, then renamed over it. A failure leaves the
// previous file in place and throws FileError.
void ReplaceAtomically(const std::filesystem::path& file, const std::string& content);

} // namespace vorlane
