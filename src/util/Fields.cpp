#include "util/Fields.h"

#include <algorithm>

namespace vorlane {

int CountFields(std::string_view text, char separator)
{
    const auto separators = std::count(text.begin(), text.end(), separator);
    return separators == 0 ? 0 : static_cast<int>(separators) + 1;
}

std::string ExtractField(std::string_view text, int k, char separator)
{
    if (k < 1)
        return {};
    std::size_t start = 0;
    for (int field = 1; field < k; ++field) {
        const auto next = text.find(separator, start);
        if (next == std::string_view::npos)
            return {};
        start = next + 1;
    }
    const auto end = text.find(separator, start);
    return std::string(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
}

} // namespace vorlane
