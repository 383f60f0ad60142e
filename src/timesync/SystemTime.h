#pragma once

#include <cstdint>

namespace vorlane {

// A calendar date and time of day as the clock setter takes it. dayOfWeek counts from Sunday
// (0); the setter ignores it.
struct SystemTime
{
    std::uint16_t year = 0;
    std::uint16_t month = 0; // 1 to 12
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0; // 1 to 31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;

    bool operator==(const SystemTime&) const = default;
};

} // namespace vorlane
