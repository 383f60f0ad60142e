#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vorlane {

// Sender and subject of one waiting message, as its header lines gave them: raw, folded lines
// kept with their line breaks, encoded words not decoded (that is for display).
struct TMailMessage
{
    std::string From;
    std::string Subject;

    bool operator==(const TMailMessage&) const = default;
};

// The headers of the poll in progress, in message-number order, each under its number as
// decimal text ("1", "2", ...).
using MailMessageList = std::vector<std::pair<std::string, TMailMessage>>;

} // namespace vorlane
