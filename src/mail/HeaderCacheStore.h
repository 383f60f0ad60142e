#pragma once

#include "mail/HeaderCache.h"
#include "mail/MailboxIdentity.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// The header caches of the mailboxes, one file each ("<FileStem>.headers") in a private folder
// (0700, files 0600): read when a mailbox is first polled, written whole and atomically after a
// poll that changed it. A file that cannot be read, is damaged, larger than kMaxFileSize or of
// another mailbox is dropped: that mailbox starts with an empty cache. Writing never fails a
// poll; its failure is only told.
class HeaderCacheStore
{
public:
    // Far above what the bounds of a cache allow in practice (a few MiB at the most).
    static constexpr std::uintmax_t kMaxFileSize = 32 * 1024 * 1024;

    explicit HeaderCacheStore(std::filesystem::path folder);

    // $XDG_CACHE_HOME/Vorlane, default ~/.cache/Vorlane.
    static std::filesystem::path DefaultFolder();
    const std::filesystem::path& Folder() const { return folder_; }

    HeaderCache& For(const MailboxIdentity& mailbox);
    // Writes the mailbox's cache when it differs from what its file holds. Returns why it could
    // not, or nothing.
    std::string Save(const MailboxIdentity& mailbox);
    // Forgets every other mailbox, in memory and on disk, together with what interrupted writes
    // left behind: what belonged to an entry that is gone, or whose host or user changed.
    void KeepOnly(const std::vector<MailboxIdentity>& mailboxes);

private:
    struct Loaded
    {
        MailboxIdentity mailbox;
        HeaderCache cache;
        std::optional<std::string> written; // the file's text as last read or written
    };

    std::filesystem::path FileOf(const MailboxIdentity& mailbox) const;

    std::filesystem::path folder_;
    std::map<std::string, Loaded> loaded_; // by FileStem
};

} // namespace vorlane
