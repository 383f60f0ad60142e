#include "timesync/TimeTexts.h"

#include "timesync/LocalClock.h"

#include <ctime>

namespace vorlane {

namespace {

const char* TimeOutPhrase(int timeState)
{
    switch (timeState) {
    case 1:
        return " resolving the hostname.";
    case 2:
        return " connecting to the remote host.";
    case 3:
        return " waiting for the correct time data.";
    default:
        return " communicating with the remote host.";
    }
}

const char* FailureSentence(int timeState)
{
    switch (timeState) {
    case 1:
        return "Resolving the hostname failed.";
    case 2:
        return "Connecting to the remote host failed.";
    case 3:
        return "The time server send me wrong data.";
    default:
        return "";
    }
}

} // namespace

std::string ComposeTimeError(std::string_view timeServer, int timeState, bool timedOut)
{
    std::string text = "Error while communicating with \"";
    text += timeServer;
    text += "\"\r\n";
    if (timedOut) {
        text += "A timeout error occured while ";
        text += TimeOutPhrase(timeState);
    } else {
        text += FailureSentence(timeState);
    }
    return text;
}

std::string NewLocalTimeLine()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return "New local time: " + FormatLocalDateTime(local);
}

} // namespace vorlane
