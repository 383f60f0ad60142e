#include "config/RegistryKey.h"

#include "config/RegistryError.h"
#include "util/AsciiCase.h"

#include <algorithm>

namespace vorlane {

namespace {

bool HoldsUnstorableCharacter(std::string_view name)
{
    return name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::vector<std::string_view> SplitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = path.find('\\', start);
        parts.push_back(
            path.substr(start, end == std::string_view::npos ? path.npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::size_t CountNames(std::string_view path)
{
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
}

// The number of levels below the key, 0 for a key without subkeys.
std::size_t Height(const RegistryKey& key)
{
    std::size_t height = 0;
    std::vector<std::pair<const RegistryKey*, std::size_t>> pending{{&key, 0}};
    while (!pending.empty()) {
        const auto [next, level] = pending.back();
        pending.pop_back();
        height = std::max(height, level);
        for (const auto& subkey : next->Subkeys())
            pending.emplace_back(&subkey, level + 1);
    }
    return height;
}

void CopyKeyContents(const RegistryKey& source, RegistryKey& destination)
{
    const auto copyValue = [&](const std::string& name, const RegistryValue& value) {
        if (value.data.empty())
            return;
        const bool known = value.type == REG_SZ || value.type == REG_EXPAND_SZ ||
                           value.type == REG_DWORD || value.type == REG_BINARY;
        destination.SetValue(
            name, {known ? value.type : static_cast<std::uint32_t>(REG_NONE), value.data});
    };
    if (const auto* defaultValue = source.FindValue({}))
        copyValue({}, *defaultValue);
    for (const auto& [name, value] : source.Values())
        if (!name.empty())
            copyValue(name, value);
    for (const auto& subkey : source.Subkeys())
        CopyKeyContents(subkey, destination.CreateKey(subkey.Name()));
}

} // namespace

bool IsValidKeyName(std::string_view name)
{
    return !name.empty() && name.find('\\') == std::string_view::npos &&
           !HoldsUnstorableCharacter(name);
}

bool IsValidValueName(std::string_view name)
{
    return !HoldsUnstorableCharacter(name);
}

bool RegistryKey::NameOrder::operator()(std::string_view a, std::string_view b) const
{
    return CompareIgnoringCase(a, b) < 0;
}

RegistryKey::RegistryKey(std::string name) : name_(std::move(name)) {}

RegistryKey::RegistryKey(const RegistryKey& other)
    : name_(other.name_), values_(other.values_), valueIndex_(other.valueIndex_)
{
    for (const auto& [name, subkey] : other.subkeys_)
        subkeys_.emplace_hint(subkeys_.end(), name, std::make_unique<RegistryKey>(*subkey));
}

RegistryKey& RegistryKey::operator=(const RegistryKey& other)
{
    if (this != &other)
        *this = RegistryKey(other);
    return *this;
}

bool RegistryKey::operator==(const RegistryKey& other) const
{
    return name_ == other.name_ && values_ == other.values_ &&
           std::equal(subkeys_.begin(), subkeys_.end(), other.subkeys_.begin(),
                      other.subkeys_.end(),
                      [](const auto& a, const auto& b) { return *a.second == *b.second; });
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const
{
    const auto found = valueIndex_.find(name);
    return found == valueIndex_.end() ? nullptr : &values_[found->second].second;
}

void RegistryKey::SetValue(std::string_view name, RegistryValue value)
{
    if (!IsValidValueName(name))
        throw RegistryError::FailedToSetData(name);
    const auto found = valueIndex_.lower_bound(name);
    if (found != valueIndex_.end() && EqualsIgnoringCase(found->first, name)) {
        values_[found->second].second = std::move(value);
        return;
    }
    values_.emplace_back(std::string(name), std::move(value));
    try {
        valueIndex_.emplace_hint(found, std::string(name), values_.size() - 1);
    } catch (...) {
        values_.pop_back();
        throw;
    }
}

bool RegistryKey::DeleteValue(std::string_view name)
{
    const auto found = valueIndex_.find(name);
    if (found == valueIndex_.end())
        return false;
    const auto position = found->second;
    valueIndex_.erase(found);
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& [_, index] : valueIndex_)
        if (index > position)
            --index;
    return true;
}

const RegistryKey* RegistryKey::FindSubkey(std::string_view name) const
{
    const auto found = subkeys_.find(name);
    return found == subkeys_.end() ? nullptr : found->second.get();
}

RegistryKey* RegistryKey::FindSubkey(std::string_view name)
{
    return const_cast<RegistryKey*>(std::as_const(*this).FindSubkey(name));
}

const RegistryKey* RegistryKey::OpenKey(std::string_view path) const
{
    const RegistryKey* key = this;
    for (const auto part : SplitPath(path)) {
        key = IsValidKeyName(part) ? key->FindSubkey(part) : nullptr;
        if (key == nullptr)
            return nullptr;
    }
    return key;
}

RegistryKey* RegistryKey::OpenKey(std::string_view path)
{
    return const_cast<RegistryKey*>(std::as_const(*this).OpenKey(path));
}

RegistryKey& RegistryKey::CreateKey(std::string_view path)
{
    if (CountNames(path) > kMaxKeyDepth)
        throw RegistryError::FailedToCreateKey(path);
    const auto parts = SplitPath(path);
    if (!std::all_of(parts.begin(), parts.end(), IsValidKeyName))
        throw RegistryError::FailedToCreateKey(path);
    RegistryKey* key = this;
    for (const auto part : parts) {
        auto found = key->subkeys_.lower_bound(part);
        if (found == key->subkeys_.end() || !EqualsIgnoringCase(found->first, part))
            found = key->subkeys_.emplace_hint(found, std::string(part),
                                               std::make_unique<RegistryKey>(std::string(part)));
        key = found->second.get();
    }
    return *key;
}

bool RegistryKey::DeleteKey(std::string_view path)
{
    const auto separator = path.rfind('\\');
    RegistryKey* parent =
        separator == std::string_view::npos ? this : OpenKey(path.substr(0, separator));
    if (parent == nullptr)
        return false;
    const auto found = parent->subkeys_.find(
        separator == std::string_view::npos ? path : path.substr(separator + 1));
    if (found == parent->subkeys_.end())
        return false;
    parent->subkeys_.erase(found);
    return true;
}

std::vector<std::string> RegistryKey::SubkeyNames() const
{
    std::vector<std::string> names;
    names.reserve(subkeys_.size());
    for (const auto& [name, _] : subkeys_)
        names.push_back(name);
    return names;
}

void MoveKey(RegistryKey& root, std::string_view source, std::string_view destination)
{
    const auto* from = root.OpenKey(source);
    if (from == nullptr || root.OpenKey(destination) != nullptr)
        return;
    if (CountNames(destination) + Height(*from) > kMaxKeyDepth)
        throw RegistryError::FailedToCreateKey(destination);
    const RegistryKey copy = *from; // the destination may lie below the source
    CopyKeyContents(copy, root.CreateKey(destination));
    root.DeleteKey(source);
}

} // namespace vorlane
