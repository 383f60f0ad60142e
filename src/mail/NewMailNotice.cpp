#include "mail/NewMailNotice.h"

#include "mail/NewMail.h"

namespace vorlane {

NewMailNotice ComposeNewMailNotice(const std::vector<EntryWithNewMail>& entries,
                                   const std::function<std::string(std::string_view)>& display)
{
    NewMailNotice notice;
    if (entries.empty())
        return notice;
    int total = 0;
    for (const auto& entry : entries)
        total += entry.messageCount;
    notice.summary = entries.size() == 1
                         ? NewMailText(total, entries.front().name)
                         : std::to_string(total) + " new mail messages have arrived";
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
            notice.lines.push_back(
                (from.empty() ? std::string("(no sender)") : display(from)) + ": " +
                (subject.empty() ? std::string("(no subject)") : display(subject)));
        }
    }
    return notice;
}

} // namespace vorlane
