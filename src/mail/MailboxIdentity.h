#pragma once

#include "mail/MailServer.h"

#include <string>

namespace vorlane {

// Which mailbox something remembered belongs to: the protocol, the server's host name (in lower
// case: names of hosts are the same in any case), the user name, and the folder (empty for a
// POP3 maildrop, which has none). An entry whose host or user changes is another mailbox.
struct MailboxIdentity
{
    std::string Protocol;
    std::string Host;
    std::string User;
    std::string Folder;

    static MailboxIdentity Pop3(const TMailServer& entry);
    // The entry's mailbox as its protocol reaches it: for IMAP, with the folder.
    static MailboxIdentity Of(const TMailServer& entry);

    bool operator==(const MailboxIdentity&) const = default;
    // A name for a file of this mailbox: a hash of all four parts in hexadecimal, so that any
    // host or user name gives a short and safe name.
    std::string FileStem() const;
};

} // namespace vorlane
