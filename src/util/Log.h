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

// A text as the log may hold it: control bytes become "\xHH", so that text from a server can
// neither forge log lines nor hide in them. A CR LF pair stays, as the program's own multi-line
// texts (the mail error reports) have them; bytes from 0x80 up stay as they are.
std::string EscapeLogText(std::string_view text);

// Once the log file has reached this size, the next entry first moves it to "<name>.1"
// (replacing an older one there) and starts a new file: the log never takes more than about
// twice this much disk.
inline constexpr long long kMaxLogFileSize = 16LL * 1024 * 1024;

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
