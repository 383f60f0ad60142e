#pragma once

namespace vorlane {

// How far one exchange with the time server got: its TimeState. The numbers are the ones the
// program has always used.
enum class TimeStep
{
    NotStarted = 0,
    Resolving = 1,
    Connecting = 2,
    Connected = 3, // waiting for the time data
};

} // namespace vorlane
