#include "mail/HeaderCacheStore.h"

#include "util/AtomicFile.h"
#include "util/UserFolder.h"

#include <set>
#include <unistd.h>

namespace vorlane {

namespace {

constexpr std::string_view kExtension = ".headers";
constexpr std::size_t kStemLength = 16;

bool IsStem(std::string_view text)
{
    return text.size() == kStemLength &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

} // namespace

HeaderCacheStore::HeaderCacheStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path HeaderCacheStore::DefaultFolder()
{
    return UserFolder("XDG_CACHE_HOME", ".cache") / "Vorlane";
}

std::filesystem::path HeaderCacheStore::FileOf(const MailboxIdentity& mailbox) const
{
    return folder_ / (mailbox.FileStem() + std::string(kExtension));
}

HeaderCache& HeaderCacheStore::For(const MailboxIdentity& mailbox)
{
    const auto stem = mailbox.FileStem();
    const auto found = loaded_.find(stem);
    if (found != loaded_.end() && found->second.mailbox == mailbox)
        return found->second.cache;

    Loaded loaded{mailbox, {}, std::nullopt};
    const auto file = FileOf(mailbox);
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    auto content = !error && size <= kMaxFileSize ? ReadWholeFile(file) : FileContent{};
    if (content.exists && content.error == 0) {
        if (auto cache = HeaderCache::Parse(content.bytes, mailbox)) {
            loaded.cache = std::move(*cache);
            loaded.written = std::move(content.bytes);
        }
    }
    if (!loaded.written && std::filesystem::exists(std::filesystem::symlink_status(file, error)))
        ::unlink(file.c_str()); // damaged, too large or another mailbox's: dropped
    return (loaded_[stem] = std::move(loaded)).cache;
}

std::string HeaderCacheStore::Save(const MailboxIdentity& mailbox)
{
    const auto found = loaded_.find(mailbox.FileStem());
    if (found == loaded_.end() || !(found->second.mailbox == mailbox))
        return {};
    auto& loaded = found->second;
    if (!loaded.written && loaded.cache.Empty())
        return {}; // nothing to remember, and no file to bring up to date
    auto text = loaded.cache.Serialize(mailbox);
    if (loaded.written == text)
        return {};
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (!error)
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, error);
    if (error)
        return "Cannot create the folder " + folder_.string() + ": " + error.message();
    try {
        ReplaceAtomically(FileOf(mailbox), text);
    } catch (const FileError& failure) {
        return failure.what();
    }
    loaded.written = std::move(text);
    return {};
}

void HeaderCacheStore::KeepOnly(const std::vector<MailboxIdentity>& mailboxes)
{
    std::set<std::string> kept;
    for (const auto& mailbox : mailboxes)
        kept.insert(mailbox.FileStem());
    std::erase_if(loaded_, [&](const auto& entry) { return !kept.contains(entry.first); });

    std::error_code error;
    std::filesystem::directory_iterator entry(folder_, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const auto name = entry->path().filename().string();
        const auto stem = std::string_view(name).substr(0, kStemLength);
        const auto rest = std::string_view(name).substr(stem.size());
        const bool cache = rest == kExtension;
        // "<stem>.headers.XXXXXX": what a write left when it was interrupted (none runs now).
        const bool leftover = rest.size() == kExtension.size() + 7 &&
                              rest.starts_with(kExtension) && rest[kExtension.size()] == '.';
        if (!IsStem(stem) || !(cache || leftover) ||
            entry->symlink_status().type() == std::filesystem::file_type::directory)
            continue;
        if (leftover || !kept.contains(std::string(stem)))
            ::unlink(entry->path().c_str());
    }
}

} // namespace vorlane
