#pragma once

#include "config/RegistryValue.h"

#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
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
// subkeys below this key, separated by "\". Finding, setting and creating take logarithmic time,
// so that files of millions of values load quickly; deleting a value takes time linear in the
// number of values of its key.
class RegistryKey
{
    // Orders names without regard to letter case; finds accept any string_view.
    struct NameOrder
    {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using SubkeyMap = std::map<std::string, std::unique_ptr<RegistryKey>, NameOrder>;

public:
    using NamedValue = std::pair<std::string, RegistryValue>;

    // The subkeys in their listed order, each a const RegistryKey&.
    class SubkeyRange
    {
    public:
        class Iterator
        {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = RegistryKey;
            using difference_type = std::ptrdiff_t;
            using pointer = const RegistryKey*;
            using reference = const RegistryKey&;

            Iterator() = default;
            explicit Iterator(SubkeyMap::const_iterator at) : at_(at) {}
            reference operator*() const { return *at_->second; }
            pointer operator->() const { return at_->second.get(); }
            Iterator& operator++()
            {
                ++at_;
                return *this;
            }
            Iterator operator++(int) { return Iterator(at_++); }
            bool operator==(const Iterator&) const = default;

        private:
            SubkeyMap::const_iterator at_;
        };

        explicit SubkeyRange(const SubkeyMap& keys) : keys_(&keys) {}
        Iterator begin() const { return Iterator(keys_->begin()); }
        Iterator end() const { return Iterator(keys_->end()); }
        bool empty() const { return keys_->empty(); }
        std::size_t size() const { return keys_->size(); }

    private:
        const SubkeyMap* keys_;
    };

    explicit RegistryKey(std::string name = {});
    RegistryKey(const RegistryKey& other);
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(const RegistryKey& other);
    RegistryKey& operator=(RegistryKey&&) noexcept = default;
    ~RegistryKey() = default;

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
    // than kMaxKeyDepth names. Keys stay where they are in memory until they are deleted.
    RegistryKey& CreateKey(std::string_view path);
    // Deletes the key with everything below it; false when it did not exist.
    bool DeleteKey(std::string_view path);

    std::vector<std::string> SubkeyNames() const;
    SubkeyRange Subkeys() const { return SubkeyRange(subkeys_); }

    // Names (exactly as spelled), values in their order and subkeys; not the values' lines.
    bool operator==(const RegistryKey& other) const;

private:
    RegistryKey* FindSubkey(std::string_view name);
    const RegistryKey* FindSubkey(std::string_view name) const;

    std::string name_;
    std::vector<NamedValue> values_;
    // Where each value stands in values_.
    std::map<std::string, std::size_t, NameOrder> valueIndex_;
    SubkeyMap subkeys_;
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
