#include "net/SocketErrors.h"

#include <cstdio>
#include <utility>

namespace vorlane {

namespace {

// Searched in this order; the words are kept exactly, misspellings included, because users and
// their logs know them.
constexpr std::pair<int, const char*> kSentences[] = {
    {10050, "the network was down (10050)"},
    {10051, "the network was unreachable (10051)"},
    {10052, "the connection was reset (10052)"},
    {10053, "the connection was aborted (10053)"},
    {10054, "the connection was refused (10054)"},
    {10055, "the systems buffers were full (10055)"},
    {10056, "the connection was already established (10056)"},
    {10057, "data could not be send because the connection was not established (10057)"},
    {10058, "data could not be send because the connection was not established (10058)"},
    {10059, "there are too many references to a kernel object (10059)"},
    {10060, "the network connection timed out (10060), does the host exist?"},
    {10061, "the connection was refused (10061)"},
    {10062, "the name could not be translated (10062)"},
    {10063, "the name of the opponent was to long (10063)"},
    {10064, "the remote host is down (10064)"},
    {10065, "the remote host is unreachable (10065)"},
};

} // namespace

std::string SocketErrorSentence(std::string_view failureText)
{
    for (const auto& [number, sentence] : kSentences)
        if (failureText.find(std::to_string(number)) != std::string_view::npos)
            return sentence;
    return {};
}

std::string SocketErrorLogLine(int errorNumber)
{
    char line[32];
    std::snprintf(line, sizeof line, "Socket error 0x%08X", static_cast<unsigned>(errorNumber));
    return line;
}

} // namespace vorlane
