#include "config/RegistryError.h"

namespace vorlane {

RegistryError RegistryError::InvalidDataType(std::string_view valueName, int line)
{
    return RegistryError("Invalid data type for '" + std::string(valueName) + "'", line);
}

RegistryError RegistryError::FailedToGetData(std::string_view valueName, int line)
{
    return RegistryError("Failed to get data for '" + std::string(valueName) + "'", line);
}

RegistryError RegistryError::FailedToSetData(std::string_view valueName)
{
    return RegistryError("Failed to set data for '" + std::string(valueName) + "'");
}

RegistryError RegistryError::FailedToCreateKey(std::string_view keyPath)
{
    return RegistryError("Failed to create key " + std::string(keyPath));
}

} // namespace vorlane
