#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// The report of a failed conversation, the same for the mail and the time server: with whom
// (quoted as the caller quotes it), then by the step it got to either "A timeout error occured
// while" and the step's time-out phrase, joined as they stand, or the step's failure sentence.
std::string ComposeErrorReport(std::string_view quotedPeer, bool timedOut,
                               std::string_view timeOutPhrase, std::string_view failureSentence);

} // namespace vorlane
