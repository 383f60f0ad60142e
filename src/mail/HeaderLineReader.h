#pragma once

#include "mail/MailMessage.h"

#include <cstddef>
#include <string_view>

namespace vorlane {

// Picks sender and subject out of a message's header lines, one line at a time: "From: " and
// "Subject: " (any letter case, the blank included) set a value, overwriting an earlier one; a
// line that begins with a blank or tab continues the value before it, line break kept. Values
// keep at most kMaxValueLength bytes: what a server sends cannot exhaust the memory.
class HeaderLineReader
{
public:
    static constexpr std::size_t kMaxValueLength = 998;

    void Read(TMailMessage& record, std::string_view line);
    // The next line begins another message's headers.
    void Reset() { continued_ = nullptr; }

    // Sender and subject of a whole header block, lines ended by CR LF or LF.
    static TMailMessage ReadBlock(std::string_view headers);

private:
    std::string TMailMessage::*continued_ = nullptr;
};

} // namespace vorlane
