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

const char* TimeOutPhrase(ImapStep step)
{
    switch (step) {
    case ImapStep::Resolving:
        return TimeOutPhrase(Pop3Step::Resolving);
    case ImapStep::Connecting:
        return TimeOutPhrase(Pop3Step::Connecting);
    case ImapStep::Connected:
        return TimeOutPhrase(Pop3Step::Connected);
    case ImapStep::TlsHandshake:
        return TimeOutPhrase(Pop3Step::TlsHandshake);
    case ImapStep::FetchSent:
        return TimeOutPhrase(Pop3Step::ReceivingHeaders);
    case ImapStep::CapabilitySent:
        return " waiting for the CAPABILITY response.";
    case ImapStep::StartTlsSent:
        return " waiting for the STARTTLS OK response.";
    case ImapStep::LoginSent:
        return " waiting for the login OK response.";
    case ImapStep::ExamineSent:
        return " waiting for the folder to open.";
    case ImapStep::SearchSent:
        return " waiting for the list of unseen messages.";
    case ImapStep::Idling:
        return " waiting for news of the folder.";
    case ImapStep::LogoutSent:
        return " waiting for the logout OK response.";
    case ImapStep::NotStarted:
    case ImapStep::Finished:
        break;
    }
    return " communicating with the remote host.";
}

const char* RefusalSentence(ImapStep step)
{
    switch (step) {
    case ImapStep::Resolving:
        return RefusalSentence(Pop3Step::Resolving);
    case ImapStep::Connecting:
        return RefusalSentence(Pop3Step::Connecting);
    case ImapStep::Connected:
        return RefusalSentence(Pop3Step::Connected);
    case ImapStep::CapabilitySent:
        return "The mail server refused to tell what it supports (CAPABILITY).";
    case ImapStep::StartTlsSent:
        return "The mail server does not offer a secure connection (STARTTLS).";
    case ImapStep::LoginSent:
        return "The mail server refused the login: the user name or the password is incorrect.";
    case ImapStep::ExamineSent:
        return "The folder could not be opened; it may not exist at the mail server.";
    case ImapStep::SearchSent:
        return "Searching the folder for unseen messages was denied.";
    case ImapStep::FetchSent:
        return "Fetching the mail headers was denied.";
    case ImapStep::Idling:
        return "The mail server refused to report news of the folder (IDLE).";
    case ImapStep::LogoutSent:
        return "The mail server did not honour my logout message.";
    case ImapStep::NotStarted:
    case ImapStep::TlsHandshake:
    case ImapStep::Finished:
        break;
    }
    return "";
}

// The sentence of a failure of either protocol, worded by how far its dialogue got.
template <typename Step> std::string FailureSentence(MailFailure failure, Step step)
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

std::string ComposeReport(const std::string& entryName, const char* timeOutPhrase,
                          const std::string& sentence, bool timedOut, std::string& errorDetail,
                          const std::string& tlsFailure, const std::string& negativeReply)
{
    std::string report =
        ComposeErrorReport("'" + entryName + "'", timedOut, timeOutPhrase, sentence);
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

} // namespace

std::string ComposeMailErrorReport(const std::string& entryName, Pop3Step mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure,
                                   MailFailure failure, const std::string& negativeReply)
{
    return ComposeReport(entryName, TimeOutPhrase(mailState), FailureSentence(failure, mailState),
                         timedOut, errorDetail, tlsFailure, negativeReply);
}

std::string ComposeMailErrorReport(const std::string& entryName, ImapStep mailState, bool timedOut,
                                   std::string& errorDetail, const std::string& tlsFailure,
                                   MailFailure failure, const std::string& negativeReply)
{
    return ComposeReport(entryName, TimeOutPhrase(mailState), FailureSentence(failure, mailState),
                         timedOut, errorDetail, tlsFailure, negativeReply);
}

} // namespace vorlane
