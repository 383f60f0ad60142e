#pragma once

#include <string>

namespace vorlane {

// The report of a failed poll, worded by how far the dialogue got (its MailState). A report
// that is not a time-out takes the waiting network detail along and empties it; after a
// time-out the detail stays for the next report.
// A failed TLS handshake adds its reasons in plain words.
std::string ComposeMailErrorReport(const std::string& entryName, int mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure = {});

} // namespace vorlane
