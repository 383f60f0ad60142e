#include "mail/MailErrorReport.h"

namespace vorlane {

namespace {

const char* TimeOutPhrase(int mailState)
{
    switch (mailState) {
    case 1:
        return " resolving the hostname.";
    case 2:
        return " connecting to the remote host.";
    case 3:
        return " waiting for the welcome message.";
    case 4:
        return " waiting for the username OK response.";
    case 5:
        return " waiting for the password OK response.";
    case 6:
        return " waiting for the stat OK response.";
    case 7:
        return " waiting for the mail headers.";
    case 8:
        return " waiting for the quit OK response.";
    case 10:
        return " waiting for the STLS OK response.";
    case 11:
        return " establishing the secure connection.";
    default:
        return " communicating with the remote host.";
    }
}

const char* RefusalSentence(int mailState)
{
    switch (mailState) {
    case 1:
        return "Resolving the hostname failed.";
    case 2:
        return "Connecting to the remote host failed.";
    case 3:
        return "The mail server rejected my connection by sending a negative welcome message.";
    case 4:
        return "The specified user does not exist at the mail server.";
    case 5:
        return "The specified password is incorrect.";
    case 6:
        return "Listing the number of messages waiting at the server was denied.";
    case 8:
        return "The mail server did not honur my quit message.";
    case 10:
        return "The mail server does not offer a secure connection (STLS).";
    default:
        return "";
    }
}

std::string FailureSentence(MailFailure failure, int mailState)
{
    switch (failure) {
    case MailFailure::CannotOpen:
        return "The connection to the mail server could not be opened.";
    case MailFailure::LineTooLong:
        return std::string("The mail server sent a line longer than 65536 characters while") +
               TimeOutPhrase(mailState);
    case MailFailure::InvalidStat:
        return "The mail server answered the stat request without a valid number of messages and "
               "size.";
    case MailFailure::ClosedByServer:
        return std::string("The mail server closed the connection while") +
               TimeOutPhrase(mailState);
    case MailFailure::NotReading:
        return std::string("The mail server stopped reading my commands while") +
               TimeOutPhrase(mailState);
    case MailFailure::None:
    case MailFailure::Refused:
        break;
    }
    return RefusalSentence(mailState);
}

} // namespace

std::string ComposeMailErrorReport(const std::string& entryName, int mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure,
                                   MailFailure failure)
{
    std::string report = "Error while communicating with '" + entryName + "'\r\n";
    if (timedOut) {
        report += "A timeout error occured while ";
        report += TimeOutPhrase(mailState);
        return report;
    }
    const std::string sentence = FailureSentence(failure, mailState);
    report += sentence;
    if (!tlsFailure.empty())
        report += (sentence.empty() ? "" : "\r\n") +
                  std::string("The secure connection could not be established: ") + tlsFailure;
    if (!errorDetail.empty()) {
        report += "\r\nDetailed error message: " + errorDetail;
        errorDetail.clear();
    }
    return report;
}

} // namespace vorlane
