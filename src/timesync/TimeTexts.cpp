#include "timesync/TimeTexts.h"

#include "timesync/LocalClock.h"
#include "util/ErrorReport.h"

#include <ctime>

namespace vorlane {

namespace {

const char* TimeOutPhrase(TimeStep step)
{
    switch (step) {
    case TimeStep::Resolving:
        return " resolving the hostname.";
    case TimeStep::Connecting:
        return " connecting to the remote host.";
    case TimeStep::Connected:
        return " waiting for the correct time data.";
    case TimeStep::NotStarted:
        break;
    }
    return " communicating with the remote host.";
}

const char* FailureSentence(TimeStep step)
{
    switch (step) {
    case TimeStep::Resolving:
        return "Resolving the hostname failed.";
    case TimeStep::Connecting:
        return "Connecting to the remote host failed.";
    case TimeStep::Connected:
        return "The time server send me wrong data.";
    case TimeStep::NotStarted:
        break;
    }
    return "";
}

} // namespace

std::string ComposeTimeError(std::string_view timeServer, TimeStep timeState, bool timedOut)
{
    return ComposeErrorReport("\"" + std::string(timeServer) + "\"", timedOut,
                              TimeOutPhrase(timeState), FailureSentence(timeState));
}

std::string NewLocalTimeLine()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return "New local time: " + FormatLocalDateTime(local);
}

} // namespace vorlane
