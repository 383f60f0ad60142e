#pragma once

#include <string>
#include <string_view>

namespace vorlane {

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The local wall-clock time of day, with milliseconds.
TimeOfDay CurrentTimeOfDay();

// One log entry with its CR LF. With the time stamp the entry is "hh:mm:ss.ms text"; the fourth
// field is milliseconds, at least two digits (7 ms gives "07", 123 ms gives "123").
std::string FormatLogEntry(std::string_view text, bool timeStamp, const TimeOfDay& time);

// Appends one entry to the file, creating the file when it is missing. The file is opened and
// closed for every entry, so the user may read, move or delete it at any time. An entry that
// cannot be written is dropped silently. Safe to call from several threads.
void AppendToLogFile(std::string_view text, bool timeStamp, const std::string& fileName);

// "Vorlane.log" in the directory, with exactly one separator between them.
std::string LogFileNameIn(std::string_view directory);

// Where the log goes: beside the executable when the user may write there, otherwise the
// per-user state folder ($XDG_STATE_HOME/Vorlane, default ~/.local/state/Vorlane).
// Both environment texts may be null or empty.
std::string ChooseLogDirectory(std::string_view executableDirectory,
                               bool executableDirectoryWritable, const char* xdgStateHome,
                               const char* home);

// The log file of this process: ChooseLogDirectory applied to the running executable and the
// environment. Creates the state folder when that is the choice, so the first entry can land.
std::string DetermineLogFileName();

} // namespace vorlane
