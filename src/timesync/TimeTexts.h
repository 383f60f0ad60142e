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

// The message of a failed exchange with the time server, worded by how far it got (TimeState).
// A time-out wins over a failure; a failure at a state without a sentence gives the first line
// alone.
std::string ComposeTimeError(std::string_view timeServer, TimeStep timeState, bool timedOut);

// "New local time: " and the current local date and time in the user's date and time formats.
std::string NewLocalTimeLine();

} // namespace vorlane
