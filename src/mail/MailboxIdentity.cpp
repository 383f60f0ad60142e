#include "mail/MailboxIdentity.h"

#include <cstdint>
#include <cstdio>

namespace vorlane {

MailboxIdentity MailboxIdentity::Pop3(const TMailServer& entry)
{
    std::string host = entry.Host;
    for (char& c : host)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return {"pop3", host, entry.UserName, ""};
}

MailboxIdentity MailboxIdentity::Of(const TMailServer& entry)
{
    MailboxIdentity mailbox = Pop3(entry);
    if (entry.Protocol == MailProtocol::Imap) {
        mailbox.Protocol = "imap";
        mailbox.Folder = entry.Folder;
    }
    return mailbox;
}

std::string MailboxIdentity::FileStem() const
{
    // 64-bit FNV-1a over the parts, each ended by a zero byte so that no two differ only in
    // where one part ends.
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::string* part : {&Protocol, &Host, &User, &Folder}) {
        for (const char c : *part + '\0') {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace vorlane
