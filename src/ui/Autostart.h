#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorlane {

// The user's autostart entry for the program, a desktop entry in the autostart folder of the
// freedesktop.org autostart rules: a desktop session starts what it finds there when the user
// logs in. Standard C++ only, so the file handling is tested without a desktop.
class Autostart
{
public:
    // The entry "vorlane.desktop" in the given folder.
    explicit Autostart(std::filesystem::path folder);
    // The current user's: $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when that variable
    // is unset, empty or not an absolute path (the base directory rules ignore relative ones).
    static Autostart ForCurrentUser();

    const std::filesystem::path& EntryFile() const { return entryFile_; }
    // Whether the entry exists, whatever it says: the check box shows what the folder holds.
    bool Enabled() const;
    // Writes the entry that starts the given program, creating the folder; atomic, so a session
    // that starts meanwhile reads the old entry or the new one. Throws std::runtime_error with the
    // reason in words when the file cannot be written.
    void Enable(const std::string& executable) const;
    // Removes the entry, if there is one. Throws std::runtime_error when it cannot be removed.
    void Disable() const;

private:
    std::filesystem::path entryFile_;
};

// The text of the autostart entry for a program.
std::string AutostartEntryText(const std::string& executable);

// A program path or argument as the Exec key of a desktop entry carries it: quoted when it holds
// a reserved character (with ", `, $ and \ escaped inside the quotes), every % doubled, and the
// escapes of a string value applied on top (so a \ inside quotes is written as four).
std::string DesktopExecArgument(std::string_view argument);

} // namespace vorlane
