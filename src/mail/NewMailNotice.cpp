#include "mail/NewMailNotice.h"

namespace vorlane {

NewMailNotice ComposeNewMailNotice(const std::vector<EntryWithNewMail>& entries)
{
    NewMailNotice notice;
    if (entries.empty())
        return notice;
    int total = 0;
    for (const auto& entry : entries)
        total += entry.messageCount;
    const std::string where = entries.size() == 1 ? " at '" + entries.front().name + "'" : "";
    notice.summary = total == 1 ? "A new mail message has arrived" + where
                                : std::to_string(total) + " new mail messages have arrived" + where;
    for (const auto& entry : entries) {
        if (entry.headers.empty()) {
            if (notice.lines.size() < NewMailNotice::kMaxLines)
                notice.lines.push_back(entry.name + ": " + std::to_string(entry.messageCount) +
                                       (entry.messageCount == 1 ? " message" : " messages"));
            continue;
        }
        for (auto header = entry.headers.rbegin();
             header != entry.headers.rend() && notice.lines.size() < NewMailNotice::kMaxLines;
             ++header) {
            const auto& [from, subject] = header->second;
            notice.lines.push_back((from.empty() ? std::string("(no sender)") : from) + ": " +
                                   (subject.empty() ? std::string("(no subject)") : subject));
        }
    }
    return notice;
}

} // namespace vorlane
