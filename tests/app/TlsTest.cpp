// POP3 over TLS against Dovecot with certificates made for the test, trusted only by it.
#include "app/ControllerFixture.h"
#include "servers/Dovecot.h"
#include "servers/ScriptedServer.h"
#include "servers/TestCertificates.h"

#include <QFile>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::Dovecot;
using test::TestCertificates;

#define REQUIRE_TLS_PEERS()                                                                        \
    do {                                                                                           \
        std::string why;                                                                           \
        if (!Dovecot::Available(why) || !TestCertificates::Available(why))                         \
            GTEST_SKIP() << why;                                                                   \
    } while (false)

QList<QSslCertificate> Trusted(const TestCertificates& certificates)
{
    return QSslCertificate::fromPath(QString::fromStdString(certificates.Authority()));
}

// A controller that trusts the test's authority besides the system's.
TProtocolForm& CreateTrusting(ControllerFixture& f, const TestCertificates& certificates,
                              int mailPort)
{
    f.controller = std::make_unique<TProtocolForm>(
        TProtocolForm::Environment{f.store, f.desktop, f.clock, (f.dir / "Vorlane.log").string(),
                                   mailPort, 0, Trusted(certificates)});
    f.controller->FormCreate();
    return *f.controller;
}

MailServerRow SecureRow(int security, int port, const std::string& host = "localhost")
{
    MailServerRow row{"Home", "joe", host, "10", "secret"};
    row.Security = security;
    row.Port = port;
    return row;
}

TEST(Tls, ImplicitTlsAndStlsPollSuccessfully)
{
    REQUIRE_TLS_PEERS();
    const TestCertificates certificates;
    Dovecot server;
    server.EnableTls(certificates.Good(), TestCertificates::KeyOf(certificates.Good()));
    server.AddUser("joe", "secret");
    server.AddMessage("joe", "Ann", "Hello");
    server.Start();

    const struct
    {
        const char* name;
        int security;
        int port;
    } cases[] = {
        {"implicit TLS on its own port", kSecurityImplicitTls, server.TlsPort()},
        {"STLS on the plain port", kSecuritySTLS, server.Port()},
    };
    for (const auto& c : cases) {
        ControllerFixture f;
        f.Store({SecureRow(c.security, c.port)});
        auto& controller = CreateTrusting(f, certificates, server.Port());
        EXPECT_TRUE(f.desktop.messages.empty())
            << c.name << ": " << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
        EXPECT_EQ(controller.MailServers()[0].MessageCount, 1) << c.name;
        const auto log = f.Log();
        const auto established = std::find_if(log.begin(), log.end(), [](const std::string& line) {
            return line.starts_with("Socket: TLS established, TLSv1.");
        });
        const auto user = std::find(log.begin(), log.end(), "POP3 OUT: USER joe");
        ASSERT_NE(established, log.end()) << c.name;
        EXPECT_LT(established, user) << c.name << ": the login only after the handshake";
        EXPECT_EQ(std::count(log.begin(), log.end(), "POP3 OUT: STLS"),
                  c.security == kSecuritySTLS ? 1 : 0)
            << c.name;
        EXPECT_TRUE(f.Logged("POP3 OUT: PASS ********")) << c.name;
    }
}

TEST(Tls, ACertificateThatCannotBeVerifiedFailsThePollWithItsReason)
{
    REQUIRE_TLS_PEERS();
    const TestCertificates certificates;
    const struct
    {
        const char* name;
        std::string certificate;
        const char* reason;
        const char* logged;
    } cases[] = {
        {"another host", certificates.OtherHost(), "The host name did not match",
         "Socket error 0x800B010F"},
        {"expired", certificates.Expired(), "The certificate has expired",
         "Socket error 0x800B0101"},
        {"unknown authority", certificates.Untrusted(), "certificate", "Socket error 0x800B0109"},
    };
    for (const auto& c : cases) {
        Dovecot server;
        server.EnableTls(c.certificate, TestCertificates::KeyOf(c.certificate));
        server.AddUser("joe", "secret");
        server.Start();
        for (const int security : {kSecurityImplicitTls, kSecuritySTLS}) {
            ControllerFixture f;
            f.Store({SecureRow(security, security == kSecurityImplicitTls ? server.TlsPort()
                                                                          : server.Port())});
            auto& controller = CreateTrusting(f, certificates, server.Port());
            ASSERT_EQ(f.desktop.messages.size(), 1u) << c.name;
            const auto& report = f.desktop.messages[0];
            EXPECT_NE(report.find("The secure connection could not be established: "),
                      std::string::npos)
                << c.name << "\n"
                << report;
            EXPECT_NE(report.find(c.reason), std::string::npos) << c.name << "\n" << report;
            EXPECT_TRUE(f.Logged(c.logged)) << c.name;
            EXPECT_FALSE(f.Logged("POP3 OUT: USER joe")) << c.name;
            EXPECT_TRUE(controller.MailServers()[0].Failed) << c.name;
        }
    }
}

TEST(Tls, AReportNeverCarriesTheReasonsOfTheEntryBefore)
{
    REQUIRE_TLS_PEERS();
    const TestCertificates certificates;
    Dovecot server;
    server.EnableTls(certificates.Untrusted(), TestCertificates::KeyOf(certificates.Untrusted()));
    server.AddUser("joe", "secret");
    server.Start();
    ControllerFixture f;
    MailServerRow noHost{"A", "joe", "", "10", "secret"};
    f.Store({noHost, SecureRow(kSecurityImplicitTls, server.TlsPort())}); // "Home" is polled first
    CreateTrusting(f, certificates, server.Port());
    ASSERT_EQ(f.desktop.messages.size(), 2u);
    EXPECT_NE(f.desktop.messages[0].find("The secure connection could not be established"),
              std::string::npos);
    EXPECT_EQ(f.desktop.messages[1],
              "Error while communicating with 'A'\r\nThe connection to the mail server could not "
              "be opened.\r\nDetailed error message: no mail server is set for this entry");
}

TEST(Tls, AServerWithoutStlsNeverSeesTheLogin)
{
    // A server that offers no TLS: it refuses STLS. Nothing else may follow on the wire.
    test::ScriptedServer server(
        [](test::ScriptedServer::Connection& connection, const std::string& line) {
            if (line.empty())
                connection.Send("+OK ready\r\n");
            else
                connection.Send("-ERR Unknown command\r\n");
        });
    ControllerFixture f;
    f.Store({SecureRow(kSecuritySTLS, server.Port(), "127.0.0.1")});
    auto& controller = f.Create(test::UnusedPort());
    EXPECT_EQ(server.Received(), std::vector<std::string>{"STLS"});
    EXPECT_EQ(f.desktop.messages,
              std::vector<std::string>{"Error while communicating with 'Home'\r\nThe mail server "
                                       "does not offer a secure connection (STLS)."});
    EXPECT_TRUE(controller.MailServers()[0].Failed);

    // Dovecot without TLS says the same in its own words.
    std::string why;
    if (!Dovecot::Available(why))
        GTEST_SKIP() << why;
    Dovecot plain;
    plain.AddUser("joe", "secret");
    plain.Start();
    ControllerFixture g;
    g.Store({SecureRow(kSecuritySTLS, plain.Port())});
    g.Create(test::UnusedPort());
    ASSERT_EQ(g.desktop.messages.size(), 1u);
    EXPECT_NE(g.desktop.messages[0].find("does not offer a secure connection"), std::string::npos);
    EXPECT_FALSE(g.Logged("POP3 OUT: USER joe"));
}

} // namespace
} // namespace vorlane
