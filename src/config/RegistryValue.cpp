#include "config/RegistryValue.h"

#include "config/RegistryError.h"

#include <bit>

namespace vorlane {

namespace {

std::string LittleEndian(std::uint64_t bits, std::size_t size)
{
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return data;
}

std::uint64_t FromLittleEndian(std::string_view data)
{
    std::uint64_t bits = 0;
    for (std::size_t i = data.size(); i-- > 0;)
        bits = (bits << 8) | static_cast<unsigned char>(data[i]);
    return bits;
}

void RequireStringType(const RegistryValue& value, std::string_view name)
{
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        throw RegistryError::InvalidDataType(name, value.line);
}

} // namespace

RegistryValue StringValue(std::string_view text)
{
    return {REG_SZ, std::string(text)};
}

RegistryValue IntegerValue(std::int32_t number)
{
    return {REG_DWORD, LittleEndian(static_cast<std::uint32_t>(number), 4)};
}

RegistryValue BooleanValue(bool flag)
{
    return IntegerValue(flag ? 1 : 0);
}

RegistryValue DateTimeValue(double days)
{
    return {REG_BINARY, LittleEndian(std::bit_cast<std::uint64_t>(days), 8)};
}

std::int32_t ReadInteger(const RegistryValue& value, std::string_view name)
{
    if (value.type != REG_DWORD)
        throw RegistryError::InvalidDataType(name, value.line);
    if (value.data.size() != 4)
        throw RegistryError::FailedToGetData(name, value.line);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(FromLittleEndian(value.data)));
}

bool ReadBoolean(const RegistryValue& value, std::string_view name)
{
    return ReadInteger(value, name) != 0;
}

std::string ReadString(const RegistryValue& value, std::string_view name)
{
    RequireStringType(value, name);
    return value.data.substr(0, value.data.find('\0'));
}

std::string ReadStringData(const RegistryValue& value, std::string_view name)
{
    RequireStringType(value, name);
    return value.data;
}

double ReadDateTime(const RegistryValue& value, std::string_view name)
{
    if (value.type != REG_BINARY || value.data.size() < 8)
        throw RegistryError::InvalidDataType(name, value.line);
    if (value.data.size() > 8)
        throw RegistryError::FailedToGetData(name, value.line);
    return std::bit_cast<double>(FromLittleEndian(value.data));
}

} // namespace vorlane
