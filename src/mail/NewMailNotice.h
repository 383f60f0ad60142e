#pragma once

#include "mail/MailMessage.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// An entry that had new mail in a pass, for the desktop notification of that pass.
struct EntryWithNewMail
{
    std::string name;
    int messageCount = 0;
    MailMessageList headers; // empty without "Display mail headers"
};

// What a desktop notification says about one pass: the count in the summary, worded as the
// message window words it, and at most five lines: senders and subjects (the newest first), or
// the entries and their counts where no headers were fetched.
struct NewMailNotice
{
    static constexpr std::size_t kMaxLines = 5;
    std::string summary;
    std::vector<std::string> lines;
};

// display turns a raw sender or subject into the text shown (decoding it).
NewMailNotice ComposeNewMailNotice(
    const std::vector<EntryWithNewMail>& entries,
    const std::function<std::string(std::string_view)>& display = [](std::string_view raw) {
        return std::string(raw);
    });

} // namespace vorlane
