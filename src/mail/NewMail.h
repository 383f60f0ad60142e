#pragma once

#include "mail/MailServer.h"

#include <optional>
#include <string>

namespace vorlane {

// Whether a successful poll of an entry announces new mail, and the number its message tells.
struct NewMailDecision
{
    bool announce = false;
    int count = 0;

    bool operator==(const NewMailDecision&) const = default;
};

// The entry holds the poll's counts already (SetMessageCount, SetMailboxSize). The rule POP3
// always had: new mail when the count or the size changed and messages wait, told with the
// number of messages waiting. With unseenOnly and a listing of unique ids (unseen: how many
// listed messages no earlier poll listed): new mail only when there are unseen messages, told
// with their number. Without a listing unseenOnly changes nothing. An IMAP entry always follows
// the unseen rule: its listing is the folder's unseen messages.
NewMailDecision DecideNewMail(const TMailServer& entry, bool unseenOnly, std::optional<int> unseen);

// "A new mail message has arrived at 'Home'" for one message, "3 new mail messages have
// arrived at 'Home'" for more.
std::string NewMailText(int count, const std::string& entryName);

} // namespace vorlane
