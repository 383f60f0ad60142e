#pragma once

#include "mail/MailMessage.h"

#include <string>

namespace vorlane {

// "Message 2 of 5" for scroll position 1 of maximum 4.
std::string CounterText(int position, int maximum);

// The two lines the message window shows for one header record.
struct HeaderLines
{
    std::string From;
    std::string Subject;

    bool operator==(const HeaderLines&) const = default;
};

// "From: " and "Subject: " with the record's values at the position, decoded for display (an
// empty value leaves the prefix alone); "(Unknown)" in both when there is no list or no record
// there.
HeaderLines HeaderLinesAt(const MailMessageList* headers, int position);

} // namespace vorlane
