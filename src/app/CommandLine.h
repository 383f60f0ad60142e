#pragma once

#include <string>
#include <vector>

namespace vorlane {

// What a start of the program was asked to do.
struct StartCommand
{
    enum class Action
    {
        Run,        // no command: start, or open the settings of the instance that runs
        Settings,   // --settings
        CheckNow,   // --check-now
        StopWaving, // --stop-waving
        Quit,       // --quit
        Check,      // --check: poll once without any window, print, exit
        Exit,       // --help, --version or a mistake: print and exit
    };
    Action action = Action::Run;
    bool json = false;  // --check --json
    int exitCode = 0;   // for Exit
    std::string output; // for Exit: what to print (help, version or the mistake)
    bool outputIsError = false;

    // The word a running instance gets for the commands it carries out; empty for the others.
    std::string InstanceWord() const;
};

// Reads the arguments (the first is the program's name).
StartCommand ParseCommandLine(const std::vector<std::string>& arguments);

// The instance words, as InstanceWord gives them.
inline constexpr const char* kSettingsWord = "settings";
inline constexpr const char* kCheckNowWord = "check-now";
inline constexpr const char* kStopWavingWord = "stop-waving";
inline constexpr const char* kQuitWord = "quit";

} // namespace vorlane
