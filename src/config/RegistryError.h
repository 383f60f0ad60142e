#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlane {

// A failure of the settings registry; its text is what the user's error handler gets.
class RegistryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;

    static RegistryError InvalidDataType(std::string_view valueName);
    static RegistryError FailedToGetData(std::string_view valueName);
    static RegistryError FailedToSetData(std::string_view valueName);
    static RegistryError FailedToCreateKey(std::string_view keyPath);
};

// The registry file cannot be read, parsed or saved. The text names the file, and the line
// where parsing stopped.
class RegistryFileError : public RegistryError
{
public:
    using RegistryError::RegistryError;
};

} // namespace vorlane
