#include "mail/UniqueIdListing.h"

#include "util/WholeNumber.h"

#include <algorithm>
#include <unordered_set>

namespace vorlane {

bool IsValidUniqueId(std::string_view id)
{
    return !id.empty() && id.size() <= UniqueIdListing::kMaxIdLength &&
           std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c < '\x7f'; });
}

void UniqueIdListing::Begin(int first, int last)
{
    first_ = first;
    ids_.assign(last >= first ? static_cast<std::size_t>(last - first + 1) : 0, std::string());
    contradictory_ = false;
}

void UniqueIdListing::Read(std::string_view line)
{
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos)
        return;
    const auto number = ParseCount(line.substr(0, blank));
    auto id = line.substr(blank + 1);
    while (!id.empty() && (id.back() == ' ' || id.back() == '\t'))
        id.remove_suffix(1);
    if (!number || *number < first_ || !IsValidUniqueId(id))
        return;
    const auto index = static_cast<std::size_t>(*number - first_);
    if (index >= ids_.size())
        return;
    if (!ids_[index].empty())
        contradictory_ = true;
    ids_[index] = id;
}

std::optional<std::vector<std::string>> UniqueIdListing::Result() const
{
    if (contradictory_)
        return std::nullopt;
    std::unordered_set<std::string_view> seen;
    for (const auto& id : ids_)
        if (!id.empty() && !seen.insert(id).second)
            return std::nullopt;
    return ids_;
}

} // namespace vorlane
