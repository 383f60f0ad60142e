#include "mail/MailErrorReport.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ComposeMailErrorReport, WordsTheReportByTheStateReached)
{
    const struct
    {
        int state;
        bool timedOut;
        const char* expected; // after the first line
    } cases[] = {
        {1, false, "Resolving the hostname failed."},
        {2, false, "Connecting to the remote host failed."},
        {3, false, "The mail server rejected my connection by sending a negative welcome message."},
        {4, false, "The specified user does not exist at the mail server."},
        {5, false, "The specified password is incorrect."},
        {6, false, "Listing the number of messages waiting at the server was denied."},
        {7, false, ""},
        {8, false, "The mail server did not honur my quit message."},
        {0, false, ""},
        {9, false, ""},
        {1, true, "A timeout error occured while  resolving the hostname."},
        {2, true, "A timeout error occured while  connecting to the remote host."},
        {3, true, "A timeout error occured while  waiting for the welcome message."},
        {4, true, "A timeout error occured while  waiting for the username OK response."},
        {5, true, "A timeout error occured while  waiting for the password OK response."},
        {6, true, "A timeout error occured while  waiting for the stat OK response."},
        {7, true, "A timeout error occured while  waiting for the mail headers."},
        {8, true, "A timeout error occured while  waiting for the quit OK response."},
        {0, true, "A timeout error occured while  communicating with the remote host."},
        {9, true, "A timeout error occured while  communicating with the remote host."},
    };
    for (const auto& c : cases) {
        std::string detail;
        EXPECT_EQ(
            ComposeMailErrorReport("Home", static_cast<Pop3Step>(c.state), c.timedOut, detail),
            std::string("Error while communicating with 'Home'\r\n") + c.expected)
            << "state " << c.state << (c.timedOut ? " timed out" : "");
    }
}

TEST(ComposeMailErrorReport, AppendsTheDetailOnceAndNotToATimeOut)
{
    std::string detail = "the connection was refused (10061)";
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::Connecting, true, detail),
              "Error while communicating with 'Home'\r\nA timeout error occured while  connecting "
              "to the remote host.");
    EXPECT_EQ(detail, "the connection was refused (10061)");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::Connecting, false, detail),
              "Error while communicating with 'Home'\r\nConnecting to the remote host failed.\r\n"
              "Detailed error message: the connection was refused (10061)");
    EXPECT_EQ(detail, "");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::ReceivingHeaders, false, detail),
              "Error while communicating with 'Home'\r\n");
}

TEST(ComposeMailErrorReport, NamesTheCauseOfAFailureThatIsNoRefusal)
{
    const struct
    {
        MailFailure failure;
        int state;
        const char* expected;
    } cases[] = {
        {MailFailure::LineTooLong, 4,
         "The mail server sent a line longer than 65536 characters while waiting for the username "
         "OK response."},
        {MailFailure::LineTooLong, 3,
         "The mail server sent a line longer than 65536 characters while waiting for the welcome "
         "message."},
        {MailFailure::InvalidStat, 6,
         "The mail server answered the stat request without a valid number of messages and "
         "size."},
        {MailFailure::ClosedByServer, 5,
         "The mail server closed the connection while waiting for the password OK response."},
        {MailFailure::CannotOpen, 0, "The connection to the mail server could not be opened."},
        {MailFailure::Refused, 4, "The specified user does not exist at the mail server."},
    };
    for (const auto& c : cases) {
        std::string detail;
        EXPECT_EQ(ComposeMailErrorReport("Home", static_cast<Pop3Step>(c.state), false, detail, {},
                                         c.failure),
                  std::string("Error while communicating with 'Home'\r\n") + c.expected)
            << c.expected;
    }
    std::string detail = "no mail server is set for this entry";
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::NotStarted, false, detail, {},
                                     MailFailure::CannotOpen),
              "Error while communicating with 'Home'\r\nThe connection to the mail server could "
              "not be opened.\r\nDetailed error message: no mail server is set for this entry");
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(ComposeMailErrorReport, NamesTheSecureConnectionSteps)
{
    std::string detail;
    const auto head = std::string("Error while communicating with 'Home'\r\n");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::StlsSent, false, detail),
              head + "The mail server does not offer a secure connection (STLS).");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::StlsSent, true, detail),
              head + "A timeout error occured while  waiting for the STLS OK response.");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::TlsHandshake, true, detail),
              head + "A timeout error occured while  establishing the secure connection.");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::TlsHandshake, false, detail,
                                     "The certificate has expired"),
              head + "The secure connection could not be established: The certificate has expired");
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::Connecting, false, detail,
                                     "The certificate has expired"),
              head + "Connecting to the remote host failed.\r\n"
                     "The secure connection could not be established: The certificate has expired");
}

} // namespace
} // namespace vorlane
