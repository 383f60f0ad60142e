#include "mail/MailErrorReport.h"

#include "mail/ServerReply.h"

#include <algorithm>
#include <cctype>
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

namespace vorlane {
namespace {

TEST(ComposeMailErrorReport, RepeatsTheServersOwnWordsWithAdviceForItsResponseCode)
{
    const auto head = std::string("Error while communicating with 'Home'\r\n");
    const struct
    {
        const char* reply;
        Pop3Step step;
        std::string expected; // after the first line
    } cases[] = {
        {"-ERR [AUTH] Application-specific password required", Pop3Step::PasswordSent,
         "The specified password is incorrect.\r\nThe server said: [AUTH] Application-specific "
         "password required\r\n" +
             std::string(ResponseCodeAdvice("[AUTH]"))},
        {"-err [sys/temp] try later", Pop3Step::StatSent,
         "Listing the number of messages waiting at the server was denied.\r\nThe server said: "
         "[sys/temp] try later\r\n" +
             std::string(ResponseCodeAdvice("[SYS/TEMP]"))},
        {"-ERR no such user", Pop3Step::UserSent,
         "The specified user does not exist at the mail server.\r\nThe server said: no such user"},
        // No sentence of its own (a refused TOP): the server's words stand alone.
        {"-ERR no TOP", Pop3Step::ReceivingHeaders, "The server said: no TOP"},
        // Control bytes cannot forge lines in the window.
        {"-ERR a\rb\x1b[2J", Pop3Step::UserSent,
         "The specified user does not exist at the mail server.\r\nThe server said: "
         "a\\x0Db\\x1B[2J"},
        {"-ERR", Pop3Step::UserSent, "The specified user does not exist at the mail server."},
    };
    for (const auto& c : cases) {
        std::string detail = "the connection was reset (10054)";
        EXPECT_EQ(ComposeMailErrorReport("Home", c.step, false, detail, {}, MailFailure::Refused,
                                         c.reply),
                  head + c.expected +
                      "\r\nDetailed error message: the connection was reset "
                      "(10054)")
            << c.reply;
    }
    // A time-out says nothing of an earlier reply.
    std::string detail;
    EXPECT_EQ(ComposeMailErrorReport("Home", Pop3Step::UserSent, true, detail, {},
                                     MailFailure::Refused, "-ERR [AUTH] no"),
              head + "A timeout error occured while  waiting for the username OK response.");
}

TEST(ServerReply, IsCutShortAndEscaped)
{
    const std::string huge = "-ERR " + std::string(5000, 'x');
    EXPECT_EQ(ServerReplyText(huge), std::string(kMaxServerReplyLength, 'x'));
    EXPECT_EQ(ServerReplyText("-ERR \x01\x7f"), "\\x01\\x7F");
    EXPECT_EQ(ServerReplyText("-ERRbusy"), "busy");
}

TEST(ServerReply, AdvisesOnEveryResponseCodeOfRfc2449)
{
    for (const char* code : {"[AUTH]", "[SYS/TEMP]", "[SYS/PERM]", "[LOGIN-DELAY]", "[IN-USE]"}) {
        EXPECT_FALSE(ResponseCodeAdvice(std::string(code) + " x").empty()) << code;
        std::string lower = code;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(ResponseCodeAdvice(lower), ResponseCodeAdvice(code)) << code;
    }
    // The code opens the text, or it is none.
    for (const char* text : {"", "AUTH", "[AUTH", "x [AUTH]", "[SYS]", "[UNKNOWN] x"})
        EXPECT_TRUE(ResponseCodeAdvice(text).empty()) << text;
    EXPECT_NE(ResponseCodeAdvice("[SYS/TEMP]"), ResponseCodeAdvice("[SYS/PERM]"));
}

} // namespace
} // namespace vorlane
