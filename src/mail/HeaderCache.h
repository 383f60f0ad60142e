#pragma once

#include "mail/MailMessage.h"
#include "mail/MailboxIdentity.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// What polls remember of one mailbox, across restarts: the raw sender and subject of messages by
// their unique ids, so that a message's headers are fetched once and not at every poll; and the
// ids the last whole listing held, so that messages never seen before can be told from the rest.
// Bounded: at most kMaxHeaders headers and kMaxHeaders seen ids, each value at most
// kMaxValueLength bytes and each id at most UniqueIdListing::kMaxIdLength.
class HeaderCache
{
public:
    // Twice the messages one poll fetches headers for: room for one poll that failed half-way
    // besides the last whole one.
    static constexpr std::size_t kMaxHeaders = 10000;
    static constexpr std::size_t kMaxValueLength = 998;

    const TMailMessage* Find(std::string_view id) const;
    // Keeps the headers under the id; when the cache is full, a new id is not taken.
    void Add(const std::string& id, const TMailMessage& headers);
    std::size_t Size() const { return headers_.size(); }
    bool Empty() const { return headers_.empty() && seen_.empty(); }

    // How many of the listed ids the last whole listing did not hold.
    int CountUnseen(const std::vector<std::string>& listed) const;
    // A whole listing: headers of messages no longer listed are dropped, and the listed ids
    // are the ones seen from now on. Empty ids (messages listed without one) are passed over.
    void Listed(const std::vector<std::string>& listed);

    // The cache file's text: a first line that names the format, one line that names the
    // mailbox, then a line for each seen id and each message's headers. Fields are separated by
    // tabs; a backslash, tab, CR or LF inside one is written as \\, \t, \r or \n.
    std::string Serialize(const MailboxIdentity& mailbox) const;
    // Nothing when the text is damaged in any way, exceeds a bound, or belongs to another
    // mailbox.
    static std::optional<HeaderCache> Parse(std::string_view text, const MailboxIdentity& mailbox);

    bool operator==(const HeaderCache&) const = default;

private:
    std::map<std::string, TMailMessage, std::less<>> headers_;
    std::set<std::string, std::less<>> seen_;
};

} // namespace vorlane
