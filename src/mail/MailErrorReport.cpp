#include "mail/MailErrorReport.h"

#include "mail/ServerReply.h"
#include "util/ErrorReport.h"

namespace vorlane {

namespace {

const char* TimeOutPhrase(Pop3Step step)
{
    switch (step) {
    case Pop3Step::Resolving:
        return " resolving the hostname.";
    case Pop3Step::Connecting:
        return " connecting to the remote host.";
    case Pop3Step::Connected:
        return " waiting for the welcome message.";
    case Pop3Step::UserSent:
        return " waiting for the username OK response.";
    case Pop3Step::PasswordSent:
        return " waiting for the password OK response.";
    case Pop3Step::StatSent:
        return " waiting for the stat OK response.";
    case Pop3Step::ReceivingHeaders:
        return " waiting for the mail headers.";
    case Pop3Step::QuitSent:
        return " waiting for the quit OK response.";
    case Pop3Step::StlsSent:
        return " waiting for the STLS OK response.";
    case Pop3Step::TlsHandshake:
        return " establishing the secure connection.";
    case Pop3Step::CapaSent:
        return " waiting for the CAPA response.";
    case Pop3Step::UidlSent:
        return " waiting for the UIDL response.";
    case Pop3Step::NotStarted:
    case Pop3Step::Finished:
        break;
    }
    return " communicating with the remote host.";
}

const char* RefusalSentence(Pop3Step step)
{
    switch (step) {
    case Pop3Step::Resolving:
        return "Resolving the hostname failed.";
    case Pop3Step::Connecting:
        return "Connecting to the remote host failed.";
    case Pop3Step::Connected:
        return "The mail server rejected my connection by sending a negative welcome message.";
    case Pop3Step::UserSent:
        return "The specified user does not exist at the mail server.";
    case Pop3Step::PasswordSent:
        return "The specified password is incorrect.";
    case Pop3Step::StatSent:
        return "Listing the number of messages waiting at the server was denied.";
    case Pop3Step::QuitSent:
        return "The mail server did not honur my quit message.";
    case Pop3Step::StlsSent:
        return "The mail server does not offer a secure connection (STLS).";
    case Pop3Step::NotStarted:
    case Pop3Step::ReceivingHeaders:
    case Pop3Step::Finished:
    case Pop3Step::TlsHandshake:
    case Pop3Step::CapaSent: // refusing these two is no failure: the poll goes on without
    case Pop3Step::UidlSent:
        break;
    }
    return "";
}

std::string FailureSentence(MailFailure failure, Pop3Step step)
{
    switch (failure) {
    case MailFailure::CannotOpen:
        return "The connection to the mail server could not be opened.";
    case MailFailure::LineTooLong:
        return std::string("The mail server sent a line longer than 65536 characters while") +
               TimeOutPhrase(step);
    case MailFailure::InvalidStat:
        return "The mail server answered the stat request without a valid number of messages and "
               "size.";
    case MailFailure::ClosedByServer:
        return std::string("The mail server closed the connection while") + TimeOutPhrase(step);
    case MailFailure::MalformedReply:
        return std::string("The mail server sent a reply that breaks the protocol while") +
               TimeOutPhrase(step);
    case MailFailure::None:
    case MailFailure::Refused:
        break;
    }
    return RefusalSentence(step);
}

} // namespace

std::string ComposeMailErrorReport(const std::string& entryName, Pop3Step mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure,
                                   MailFailure failure, const std::string& negativeReply)
{
    const std::string sentence = FailureSentence(failure, mailState);
    std::string report =
        ComposeErrorReport("'" + entryName + "'", timedOut, TimeOutPhrase(mailState), sentence);
    if (timedOut)
        return report;
    if (const auto said = ServerReplyText(negativeReply); !said.empty()) {
        report += (sentence.empty() ? "" : "\r\n") + std::string("The server said: ") + said;
        if (const auto advice = ResponseCodeAdvice(said); !advice.empty())
            report += "\r\n" + std::string(advice);
    }
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
