#pragma once

#include "config/RegistryValue.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlane {

// How many levels below HKEY_CURRENT_USER a key may lie, as in the Windows registry. Deeper trees
// would be refused by the registry editor, and would exhaust the stack of the recursive copies.
inline constexpr std::size_t kMaxKeyDepth = 512;

// One key of the registry model: named values and subkeys. Names compare without regard to
// letter case (a to z) and keep the spelling they were created with; subkeys are listed in
// case-insensitive alphabetical order, values in the order they were first set. Paths name
// subkeys below this key, separated by "\".
class RegistryKey
{
public:
    using NamedValue = std::pair<std::string, RegistryValue>;

    explicit RegistryKey(std::string name = {});

    const std::string& Name() const { return name_; }

    // The empty name is the key's default value.
    const RegistryValue* FindValue(std::string_view name) const;
    void SetValue(std::string_view name, RegistryValue value);
    bool DeleteValue(std::string_view name);
    const std::vector<NamedValue>& Values() const { return values_; }

    // Null when the key does not exist (or the path is not a valid one).
    const RegistryKey* OpenKey(std::string_view path) const;
    RegistryKey* OpenKey(std::string_view path);
    // Opens the key, creating it and the keys above it when missing. Fails with
    // "Failed to create key <path>" on an empty path, an empty component or a name holding a
    // line break or a zero byte, none of which the registry file could keep, and on a path of more
    // than kMaxKeyDepth names.
    RegistryKey& CreateKey(std::string_view path);
    // Deletes the key with everything below it; false when it did not exist.
    bool DeleteKey(std::string_view path);

    std::vector<std::string> SubkeyNames() const;
    const std::vector<RegistryKey>& Subkeys() const { return subkeys_; }

    bool operator==(const RegistryKey&) const = default;

private:
    RegistryKey* FindSubkey(std::string_view name);
    const RegistryKey* FindSubkey(std::string_view name) const;

    std::string name_;
    std::vector<NamedValue> values_;
    std::vector<RegistryKey> subkeys_;
};

// Moves the key at source to destination (both paths below root): does nothing unless the source
// exists and the destination does not; otherwise creates the destination, copies the values (the
// default value first; values without data are left out; types other than REG_SZ, REG_EXPAND_SZ,
// REG_DWORD and REG_BINARY become REG_NONE) and the subkeys recursively, then deletes the source.
// Fails with "Failed to create key <destination>", changing nothing, when a key would end up more
// than kMaxKeyDepth levels below root.
void MoveKey(RegistryKey& root, std::string_view source, std::string_view destination);

// A name the registry file can store: not empty, no "\", no line break, no zero byte.
bool IsValidKeyName(std::string_view name);
// A value name the registry file can store: no line break, no zero byte (empty: the default).
bool IsValidValueName(std::string_view name);

} // namespace vorlane
