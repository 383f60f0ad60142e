#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlane {

// A failure of the settings registry; its text is what the user's error handler gets. A failure
// to read a value knows the line of the registry file that value came from (0: not from a file).
class RegistryError : public std::runtime_error
{
public:
    explicit RegistryError(const std::string& text, int line = 0)
        : std::runtime_error(text), line_(line)
    {}

    int Line() const { return line_; }

    static RegistryError InvalidDataType(std::string_view valueName, int line = 0);
    static RegistryError FailedToGetData(std::string_view valueName, int line = 0);
    static RegistryError FailedToSetData(std::string_view valueName);
    static RegistryError FailedToCreateKey(std::string_view keyPath);

private:
    int line_ = 0;
};

// The registry file cannot be read, parsed or saved. The text names the file, and the line
// where parsing stopped.
class RegistryFileError : public RegistryError
{
public:
    explicit RegistryFileError(const std::string& text) : RegistryError(text) {}
};

} // namespace vorlane
