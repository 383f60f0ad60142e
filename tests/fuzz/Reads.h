#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorlane::fuzz {

// The stream cut into reads of 1 to 64 bytes, at places the seed chooses.
inline std::vector<std::string_view> CutIntoReads(std::string_view stream, std::uint32_t seed)
{
    std::vector<std::string_view> reads;
    for (std::size_t at = 0; at < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t length = 1 + (seed >> 16) % 64;
        reads.push_back(stream.substr(at, length));
        at += length;
    }
    return reads;
}

} // namespace vorlane::fuzz
