#include "timesync/TimeData.h"

#include "timesync/DateTime.h"

#include <cstdio>

namespace vorlane {

std::int32_t SecondsSince1970(const TimeData& data)
{
    std::uint32_t count = 0;
    for (const std::uint8_t byte : data)
        count = (count << 8) | byte;
    // Unsigned subtraction wraps modulo 2^32; the conversion to signed is modular since C++20.
    return static_cast<std::int32_t>(count - kTimeEpochOffset);
}

double DateTimeFromTimeData(const TimeData& data)
{
    return DateTimeFromUnixSeconds(SecondsSince1970(data));
}

SystemTime SystemTimeFromTimeData(const TimeData& data)
{
    return SystemTimeFromUnixSeconds(SecondsSince1970(data));
}

std::string InvalidDataSizeLine(std::size_t readableBytes)
{
    char line[80];
    std::snprintf(line, sizeof line, "Socket: Time, Invalid Datasize: 0x%04llX, expected: 0x0004",
                  static_cast<unsigned long long>(readableBytes));
    return line;
}

} // namespace vorlane
