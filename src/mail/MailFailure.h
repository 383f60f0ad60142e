#pragma once

namespace vorlane {

// Why a poll failed, besides how far it got. The report words each cause in its own sentence,
// so that a server that misbehaves is not taken for one that refused.
enum class MailFailure
{
    None,
    Refused,        // a negative reply, or a socket error: worded by the step reached
    CannotOpen,     // the connection could not even be started (no host, a bad address)
    LineTooLong,    // a line or unterminated text over the line limit
    InvalidStat,    // the STAT reply holds no valid count and size
    ClosedByServer, // the server closed the connection before the dialogue ended
    MalformedReply, // a reply that breaks the protocol's syntax
};

} // namespace vorlane
