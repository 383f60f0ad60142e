#pragma once

#include "timesync/SystemTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlane {

// The time server's datum: seconds since 1900-01-01 00:00:00 UTC, 32 bits, most significant
// byte first, as received.
using TimeData = std::array<std::uint8_t, 4>;

inline constexpr std::size_t kTimeDataSize = 4;
inline constexpr std::uint32_t kTimeEpochOffset = 2208988800u; // 1900-01-01 to 1970-01-01

// Seconds since 1970-01-01 00:00:00 UTC. The count wraps in 2036; subtracting the offset modulo
// 2^32 and reading the result as signed maps the counts 0 to 61505151 onto 2036-02-07 06:28:16 to
// 2038-01-19 03:14:07, the others onto 1901-12-13 20:45:52 to 2036-02-07 06:28:15.
std::int32_t SecondsSince1970(const TimeData& data);

// The datum on the program's date-time scale, UTC.
double DateTimeFromTimeData(const TimeData& data);

// The datum as UTC calendar fields, whole seconds.
SystemTime SystemTimeFromTimeData(const TimeData& data);

// The log line for a read notification that found other than four bytes readable:
// "Socket: Time, Invalid Datasize: 0x0002, expected: 0x0004".
std::string InvalidDataSizeLine(std::size_t readableBytes);

} // namespace vorlane
