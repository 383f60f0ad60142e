#pragma once

#include "timesync/TimeStep.h"

#include <string>
#include <string_view>

namespace vorlane {

inline constexpr std::string_view kPermissionDeniedMessage =
    "Permission has been denied. To change this systems time or date you have to have the right "
    "privileges.";
inline constexpr std::string_view kPermissionDeniedLogLine =
    "Error setting the local time: Permission denied.";
// The system's time service keeps the clock by NTP: told once, as the two would fight.
inline constexpr std::string_view kNtpKeepsClockMessage =
    "This system already keeps its clock by NTP, so Vorlane does not set it: the two would only "
    "fight over it. Switch off Vorlane's time synchronization, or NTP, to end this. You are told "
    "this once.";
inline constexpr std::string_view kNtpKeepsClockLogLine =
    "Error setting the local time: the system keeps the clock by NTP.";

// The message of a failed exchange with the time server, worded by how far it got (TimeState).
// A time-out wins over a failure; a failure at a state without a sentence gives the first line
// alone.
std::string ComposeTimeError(std::string_view timeServer, TimeStep timeState, bool timedOut);

// "New local time: " and the current local date and time in the user's date and time formats.
std::string NewLocalTimeLine();

} // namespace vorlane
