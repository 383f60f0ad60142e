#include "mail/MailServer.h"

#include "util/AsciiCase.h"
#include "util/NumericAddress.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace vorlane {

namespace {

// Any stored interval is taken, INT_MIN included; the counter wraps instead of overflowing.
int WrappingAdd(int value, int delta)
{
    return static_cast<int>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(delta));
}

} // namespace

TMailServer::TMailServer(std::string name, std::string userName, std::string password,
                         std::string host, int interval)
    : MinuteCounter(WrappingAdd(interval, -1)), Interval(interval), Name(std::move(name)),
      UserName(std::move(userName)), Password(std::move(password)), Host(std::move(host)),
      IsAddress(IsNumericAddress(Host))
{}

std::string_view ProtocolName(MailProtocol protocol)
{
    return protocol == MailProtocol::Imap ? "IMAP" : "POP3";
}

std::optional<MailProtocol> ParseProtocol(std::string_view name)
{
    for (const auto protocol : {MailProtocol::Pop3, MailProtocol::Imap})
        if (EqualsIgnoringCase(name, ProtocolName(protocol)))
            return protocol;
    return std::nullopt;
}

int DefaultMailPort(int security, MailProtocol protocol)
{
    if (protocol == MailProtocol::Imap)
        return security == kSecurityImplicitTls ? 993 : 143;
    return security == kSecurityImplicitTls ? 995 : 110;
}

bool TMailServer::IsDue()
{
    MinuteCounter = WrappingAdd(MinuteCounter, 1);
    const bool due = MinuteCounter == Interval && !Failed;
    if (due)
        MinuteCounter = 0;
    return due;
}

void TMailServer::ResetSchedule()
{
    MinuteCounter = WrappingAdd(Interval, -1);
    Failed = false;
}

void TMailServer::SetMessageCount(int count)
{
    CountChanged = count != MessageCount;
    MessageCount = count;
}

void TMailServer::SetMailboxSize(int size)
{
    SizeChanged = std::llabs(static_cast<std::int64_t>(MailboxSize) - size) > 34;
    MailboxSize = size;
}

} // namespace vorlane
