#include "mail/HeaderCache.h"

#include "mail/UniqueIdListing.h"
#include "util/BackslashEscapes.h"

namespace vorlane {

namespace {

constexpr std::string_view kFormatLine = "Vorlane header cache 1";

void AppendField(std::string& out, std::string_view field)
{
    out += '\t';
    out += EscapeWithBackslashes(field);
}

// The fields of one line, unescaped; nothing when an escape is unknown or unfinished.
std::optional<std::vector<std::string>> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const auto end = line.find('\t', start);
        auto field = UnescapeBackslashes(line.substr(start, end - start));
        if (!field)
            return std::nullopt;
        fields.push_back(std::move(*field));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::vector<std::string> MailboxFields(const MailboxIdentity& mailbox)
{
    return {"mailbox", mailbox.Protocol, mailbox.Host, mailbox.User, mailbox.Folder};
}

} // namespace

const TMailMessage* HeaderCache::Find(std::string_view id) const
{
    const auto found = headers_.find(id);
    return found == headers_.end() ? nullptr : &found->second;
}

void HeaderCache::Add(const std::string& id, const TMailMessage& headers)
{
    if (!IsValidUniqueId(id) || (headers_.size() >= kMaxHeaders && !headers_.contains(id)))
        return;
    headers_[id] = {headers.From.substr(0, kMaxValueLength),
                    headers.Subject.substr(0, kMaxValueLength)};
}

int HeaderCache::CountUnseen(const std::vector<std::string>& listed) const
{
    int unseen = 0;
    for (const auto& id : listed)
        if (!id.empty() && !seen_.contains(id))
            ++unseen;
    return unseen;
}

void HeaderCache::Listed(const std::vector<std::string>& listed)
{
    std::set<std::string, std::less<>> ids;
    for (const auto& id : listed)
        if (IsValidUniqueId(id) && ids.size() < kMaxHeaders)
            ids.insert(id);
    std::erase_if(headers_, [&](const auto& entry) { return !ids.contains(entry.first); });
    seen_ = std::move(ids);
}

std::string HeaderCache::Serialize(const MailboxIdentity& mailbox) const
{
    std::string text(kFormatLine);
    text += '\n';
    const auto fields = MailboxFields(mailbox);
    text += fields.front();
    for (std::size_t i = 1; i < fields.size(); ++i)
        AppendField(text, fields[i]);
    text += '\n';
    for (const auto& id : seen_) {
        text += "seen";
        AppendField(text, id);
        text += '\n';
    }
    for (const auto& [id, headers] : headers_) {
        text += "headers";
        AppendField(text, id);
        AppendField(text, headers.From);
        AppendField(text, headers.Subject);
        text += '\n';
    }
    return text;
}

std::optional<HeaderCache> HeaderCache::Parse(std::string_view text, const MailboxIdentity& mailbox)
{
    // The format line, its line end, and a line end at the very end: a cut file is damaged.
    if (!text.starts_with(kFormatLine) || !text.substr(kFormatLine.size()).starts_with('\n') ||
        !text.ends_with('\n'))
        return std::nullopt;
    HeaderCache cache;
    bool mailboxNamed = false;
    std::size_t start = kFormatLine.size() + 1;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        const auto fields = SplitFields(text.substr(start, end - start));
        start = end + 1;
        if (!fields)
            return std::nullopt;
        const auto& kind = fields->front();
        if (!mailboxNamed) {
            // The first line after the format names the mailbox; a file of another is not ours.
            if (*fields != MailboxFields(mailbox))
                return std::nullopt;
            mailboxNamed = true;
        } else if (kind == "seen" && fields->size() == 2 && IsValidUniqueId((*fields)[1]) &&
                   cache.seen_.size() < kMaxHeaders) {
            cache.seen_.insert((*fields)[1]);
        } else if (kind == "headers" && fields->size() == 4 && IsValidUniqueId((*fields)[1]) &&
                   (*fields)[2].size() <= kMaxValueLength &&
                   (*fields)[3].size() <= kMaxValueLength && cache.headers_.size() < kMaxHeaders) {
            cache.headers_[(*fields)[1]] = {(*fields)[2], (*fields)[3]};
        } else {
            return std::nullopt;
        }
    }
    if (!mailboxNamed)
        return std::nullopt;
    return cache;
}

} // namespace vorlane
