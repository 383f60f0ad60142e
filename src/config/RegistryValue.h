#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane {

// Registry data types, numbered as on Windows so that exported files keep their meaning.
enum RegistryType : std::uint32_t
{
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
};

// One typed value: the type number (any, not only the ones above) and its bytes. A value read
// from a registry file remembers the line it stood on, so that a value of the wrong kind can be
// pointed out; the line takes no part in comparisons.
struct RegistryValue
{
    std::uint32_t type = REG_NONE;
    std::string data;
    int line = 0;

    bool operator==(const RegistryValue& other) const
    {
        return type == other.type && data == other.data;
    }
};

// Stored forms of the program's kinds: a string is its bytes without a terminating zero, an
// integer or boolean a little-endian REG_DWORD, a date-time an 8-byte REG_BINARY double.
RegistryValue StringValue(std::string_view text);
RegistryValue IntegerValue(std::int32_t number);
RegistryValue BooleanValue(bool flag);
RegistryValue DateTimeValue(double days);

// Typed reads. A value of another kind fails with "Invalid data type for '<name>'"; data that
// does not fit the kind fails with "Failed to get data for '<name>'".
std::int32_t ReadInteger(const RegistryValue& value, std::string_view name);
bool ReadBoolean(const RegistryValue& value, std::string_view name);
// REG_SZ or REG_EXPAND_SZ (not expanded); the text ends at the first zero byte.
std::string ReadString(const RegistryValue& value, std::string_view name);
// Like ReadString, but keeps every byte, zero bytes included (scrambled passwords hold any byte).
std::string ReadStringData(const RegistryValue& value, std::string_view name);
double ReadDateTime(const RegistryValue& value, std::string_view name);

} // namespace vorlane
