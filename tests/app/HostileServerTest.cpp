// Servers that misbehave on purpose, in a process of their own: the poll ends on time with the
// real cause, and the log stays bounded and honest.
#include "servers/HostileServer.h"

#include "app/ControllerFixture.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::HostileServer;

TEST(HostileServer, EveryPollEndsOnTimeWithItsRealCauseAndABoundedLog)
{
    const struct
    {
        const char* mode;
        int timeout;
        const char* report; // after the first line
    } cases[] = {
        {"stream", 2, "A timeout error occured while  waiting for the mail headers."},
        {"flood", 2, "A timeout error occured while  waiting for the mail headers."},
        {"endless-line", 20,
         "The mail server sent a line longer than 65536 characters while waiting for the "
         "welcome message."},
        {"early-close", 20,
         "The mail server closed the connection while waiting for the username OK response."},
    };
    for (const auto& c : cases) {
        HostileServer server(c.mode);
        ASSERT_NE(server.Port(), 0) << c.mode;
        ControllerFixture f;
        auto settings = ControllerFixture::LoggingSettings(c.timeout);
        settings.DisplayHeaders = true;
        f.Store({{"Home", "joe", "127.0.0.1", "10", "secret"}}, settings);
        QElapsedTimer clock;
        clock.start();
        auto& controller = f.Create(server.Port());
        const auto elapsed = clock.elapsed();
        EXPECT_EQ(f.desktop.messages,
                  std::vector<std::string>{
                      std::string("Error while communicating with 'Home'\r\n") + c.report})
            << c.mode;
        // A generous bound: the time-out is a hard deadline, not a timer that data can starve.
        EXPECT_LT(elapsed, std::min(c.timeout, 5) * 1000 + 2000) << c.mode;
        EXPECT_LE(controller.MailMessages().size(), 1u) << c.mode;
        EXPECT_LT(std::filesystem::file_size(f.dir / "Vorlane.log"),
                  MailPoll::kMaxDialogueLogBytes + 64 * 1024)
            << c.mode;
    }
}

TEST(HostileServer, ControlBytesCannotForgeLogLines)
{
    HostileServer server("forge");
    ASSERT_NE(server.Port(), 0);
    ControllerFixture f;
    f.Store({{"Home", "joe", "127.0.0.1", "10", "secret"}});
    f.Create(server.Port());
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_FALSE(f.Logged("POP3 OUT: PASS forged"));
    EXPECT_TRUE(f.Logged("POP3 IN : +OK ready\\x1B[2J\\x0APOP3 OUT: PASS forged\\x00"));
}

} // namespace
} // namespace vorlane
