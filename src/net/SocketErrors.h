#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Windows Sockets error numbers; the socket reports every failure with one of them.
enum SocketError : int
{
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETOOMANYREFS = 10059,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAELOOP = 10062,
    WSAENAMETOOLONG = 10063,
    WSAEHOSTDOWN = 10064,
    WSAEHOSTUNREACH = 10065,
    WSAHOST_NOT_FOUND = 11001,
};

// The sentence for the first error number of the table (10050 to 10065, in that order) that
// occurs anywhere in the text; empty when none does.
std::string SocketErrorSentence(std::string_view failureText);

// "Socket error 0x0000274D" for 10061.
std::string SocketErrorLogLine(int errorNumber);

} // namespace vorlane
