#pragma once

#include "mail/MailFailure.h"
#include "mail/Pop3Step.h"
#include "mail/imap/ImapStep.h"

#include <string>

namespace vorlane {

// The report of a failed poll, worded by how far the dialogue got (its MailState). A report
// that is not a time-out takes the waiting network detail along and empties it; after a
// time-out the detail stays for the next report.
// A failed TLS handshake adds its reasons in plain words. A failure that is not a refusal (a
// server that closed the connection, sent an endless line or a STAT reply without numbers) is
// worded by its own cause and the step it interrupted.
// A negative reply's own text follows the step's sentence, escaped and cut short, with a line of
// advice when it opens with an RFC 2449 response code.
std::string ComposeMailErrorReport(const std::string& entryName, Pop3Step mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure = {},
                                   MailFailure failure = MailFailure::Refused,
                                   const std::string& negativeReply = {});
// The same for an IMAP dialogue.
std::string ComposeMailErrorReport(const std::string& entryName, ImapStep mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure = {},
                                   MailFailure failure = MailFailure::Refused,
                                   const std::string& negativeReply = {});

} // namespace vorlane
