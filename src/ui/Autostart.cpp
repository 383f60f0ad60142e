#include "ui/Autostart.h"

#include "util/BackslashEscapes.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace vorlane {

namespace {

constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";

std::filesystem::path ConfigHome()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && std::filesystem::path(configHome).is_absolute())
        return configHome;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".config";
}

// The escapes of a desktop entry string value.
std::string StringValue(std::string_view text)
{
    return EscapeWithBackslashes(text);
}

std::runtime_error Failure(const std::string& what, const std::filesystem::path& file,
                           const std::error_code& error)
{
    return std::runtime_error(what + " " + file.string() + ": " + error.message());
}

} // namespace

Autostart::Autostart(std::filesystem::path folder)
    : entryFile_(std::move(folder) / "vorlane.desktop")
{}

Autostart Autostart::ForCurrentUser()
{
    return Autostart(ConfigHome() / "autostart");
}

bool Autostart::Enabled() const
{
    std::error_code error;
    return std::filesystem::exists(entryFile_, error);
}

void Autostart::Enable(const std::string& executable) const
{
    std::error_code error;
    std::filesystem::create_directories(entryFile_.parent_path(), error);
    if (error)
        throw Failure("Cannot create the folder of", entryFile_, error);
    auto temporary = entryFile_;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << AutostartEntryText(executable);
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, error);
            throw std::runtime_error("Cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, entryFile_, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw Failure("Cannot write", entryFile_, error);
    }
}

void Autostart::Disable() const
{
    std::error_code error;
    std::filesystem::remove(entryFile_, error);
    if (error)
        throw Failure("Cannot remove", entryFile_, error);
}

std::string AutostartEntryText(const std::string& executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vorlane\n"
           "Comment=Checks POP3 mailboxes for new mail and synchronizes the clock\n"
           "Exec=" +
           DesktopExecArgument(executable) +
           "\n"
           "Icon=vorlane\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string DesktopExecArgument(std::string_view argument)
{
    const bool quoted =
        argument.empty() || argument.find_first_of(kReservedInExec) != std::string_view::npos;
    std::string result;
    if (quoted)
        result += '"';
    for (const char c : argument) {
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\'))
            result += '\\';
        if (c == '%')
            result += '%';
        result += c;
    }
    if (quoted)
        result += '"';
    return StringValue(result);
}

} // namespace vorlane
