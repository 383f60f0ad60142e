#include "util/ErrorReport.h"

namespace vorlane {

std::string ComposeErrorReport(std::string_view quotedPeer, bool timedOut,
                               std::string_view timeOutPhrase, std::string_view failureSentence)
{
    std::string report = "Error while communicating with ";
    report += quotedPeer;
    report += "\r\n";
    if (timedOut) {
        report += "A timeout error occured while ";
        report += timeOutPhrase;
    } else {
        report += failureSentence;
    }
    return report;
}

} // namespace vorlane
