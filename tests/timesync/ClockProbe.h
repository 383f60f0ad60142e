#pragma once

// Exit codes of clock_probe, the one program that calls the real clock setter.
namespace vorlane::test::clock_probe {

inline constexpr int kRefused = 10;           // clock_settime refused with EPERM
inline constexpr int kAccepted = 11;          // the clock took the time it already had
inline constexpr int kFailedOtherwise = 12;   // refused for another reason
inline constexpr int kCapabilityPresent = 13; // CAP_SYS_TIME held: the setter was not called
inline constexpr int kCapabilityUnknown = 14; // capabilities unreadable: not called either
inline constexpr int kCapabilityAbsent = 15;  // --check-only: the setter would have been called

} // namespace vorlane::test::clock_probe
