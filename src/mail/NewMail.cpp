#include "mail/NewMail.h"

namespace vorlane {

NewMailDecision DecideNewMail(const TMailServer& entry, bool unseenOnly, std::optional<int> unseen)
{
    // An IMAP folder tells which messages are unseen: only those never found before are new.
    if ((unseenOnly || entry.Protocol == MailProtocol::Imap) && unseen)
        return {*unseen > 0, *unseen};
    return {entry.HasNewMail() && entry.MessageCount > 0, entry.MessageCount};
}

std::string NewMailText(int count, const std::string& entryName)
{
    return count == 1
               ? "A new mail message has arrived at '" + entryName + "'"
               : std::to_string(count) + " new mail messages have arrived at '" + entryName + "'";
}

} // namespace vorlane
