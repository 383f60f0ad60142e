// POP3 over TLS against Dovecot with certificates made for the test, trusted only by it.
#include "app/ControllerFixture.h"
#include "config/RegistryValue.h"
#include "mail/CertificateTrust.h"
#include "servers/Dovecot.h"
#include "servers/ScriptedServer.h"
#include "servers/TestCertificates.h"

#include <QFile>
#include <functional>
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
        MailProtocol protocol;
        int security;
        int port;
        const char* upgrade; // the command that asks for TLS, when one does
    } cases[] = {
        {"POP3, implicit TLS on its own port", MailProtocol::Pop3, kSecurityImplicitTls,
         server.TlsPort(), nullptr},
        {"POP3, STLS on the plain port", MailProtocol::Pop3, kSecuritySTLS, server.Port(),
         "POP3 OUT: STLS"},
        {"IMAP, implicit TLS", MailProtocol::Imap, kSecurityImplicitTls, server.ImapTlsPort(),
         nullptr},
        {"IMAP, STARTTLS", MailProtocol::Imap, kSecuritySTLS, server.ImapPort(), " STARTTLS"},
    };
    for (const auto& c : cases) {
        ControllerFixture f;
        auto row = SecureRow(c.security, c.port);
        row.Protocol = c.protocol;
        f.Store({row});
        auto& controller = CreateTrusting(f, certificates, server.Port());
        EXPECT_TRUE(f.desktop.messages.empty())
            << c.name << ": " << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
        EXPECT_EQ(controller.MailServers()[0].MessageCount, 1) << c.name;
        const auto log = f.Log();
        const auto first = [&](const std::function<bool(const std::string&)>& match) {
            return std::find_if(log.begin(), log.end(), match);
        };
        const auto established = first([](const std::string& line) {
            return line.starts_with("Socket: TLS established, TLSv1.");
        });
        const auto login = first([](const std::string& line) {
            return line == "POP3 OUT: USER joe" ||
                   (line.starts_with("IMAP OUT: ") && line.ends_with(" LOGIN joe ********"));
        });
        ASSERT_NE(established, log.end()) << c.name;
        ASSERT_NE(login, log.end()) << c.name;
        EXPECT_LT(established, login) << c.name << ": the login only after the handshake";
        const auto upgrade = first([&](const std::string& line) {
            return c.upgrade != nullptr && line.ends_with(c.upgrade);
        });
        EXPECT_EQ(upgrade != log.end(), c.upgrade != nullptr) << c.name;
        EXPECT_FALSE(test::ReadFile(f.dir / "Vorlane.log").find("secret") != std::string::npos)
            << c.name;
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
                                       "does not offer a secure connection (STLS).\r\nThe "
                                       "server said: Unknown command"});
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

namespace vorlane {
namespace {

std::string StoredFingerprint(test::ControllerFixture& f)
{
    const auto root = f.store.Read();
    const auto* entry = root.OpenKey("SOFTWARE\\Mirvo\\Vorlane\\Home");
    const auto* value = entry != nullptr ? entry->FindValue("CertificateSha256") : nullptr;
    return value != nullptr ? ReadString(*value, "CertificateSha256") : std::string();
}

TEST(Tls, ATrustedCertificateIsPolledAndAnotherOneOnTheSameServerFails)
{
    REQUIRE_TLS_PEERS();
    const TestCertificates certificates;
    const int port = test::UnusedPort();
    ControllerFixture f;
    f.Store({SecureRow(kSecuritySTLS, port)});
    {
        // A certificate that no authority the program knows has signed.
        Dovecot server(port);
        server.EnableTls(certificates.Untrusted(),
                         TestCertificates::KeyOf(certificates.Untrusted()));
        server.AddUser("joe", "secret");
        server.AddMessage("joe", "Ann", "Hello");
        server.Start();
        f.desktop.trustCertificates = true; // the user chooses "Trust this certificate"
        auto& controller = f.Create(server.Port());
        ASSERT_EQ(f.desktop.certificates.size(), 1u);
        const auto& shown = f.desktop.certificates[0];
        EXPECT_NE(shown.find("Subject: localhost"), std::string::npos) << shown;
        EXPECT_NE(shown.find("Issuer: Vorlane test rogue"), std::string::npos) << shown;
        EXPECT_NE(shown.find("\r\nValid from 20"), std::string::npos) << shown;
        EXPECT_NE(shown.find("SHA-256 fingerprint: "), std::string::npos) << shown;
        const auto fingerprint = StoredFingerprint(f);
        ASSERT_EQ(fingerprint.size(), 64u);
        EXPECT_NE(shown.find(FingerprintForDisplay(fingerprint)), std::string::npos);
        EXPECT_FALSE(f.Logged("POP3 OUT: USER joe")) << "no login before the user trusted it";
        EXPECT_FALSE(controller.MailServers()[0].Failed);

        f.desktop.trustCertificates = false;
        controller.ChecknowMenuItemClick(-1);
        EXPECT_EQ(f.desktop.messages.size(), 1u) << f.desktop.messages.back();
        EXPECT_EQ(controller.MailServers()[0].MessageCount, 1);
        EXPECT_TRUE(f.Logged("POP3 OUT: PASS ********"));
        // A restart reads the trusted certificate from the file.
        f.controller.reset();
        f.desktop.messages.clear();
        f.Create(server.Port());
        EXPECT_TRUE(f.desktop.messages.empty());
        EXPECT_EQ(f.controller->MailServers()[0].MessageCount, 1);
    }
    // The same server with another certificate, one that even verifies: refused, and said so.
    Dovecot server(port);
    server.EnableTls(certificates.Good(), TestCertificates::KeyOf(certificates.Good()));
    server.AddUser("joe", "secret");
    server.Start();
    f.controller.reset();
    f.desktop.messages.clear();
    const auto before = test::ReadFile(f.dir / "Vorlane.log");
    auto& controller = CreateTrusting(f, certificates, server.Port());
    ASSERT_EQ(f.desktop.messages.size(), 1u);
    EXPECT_NE(f.desktop.messages[0].find("presented another certificate than the one you trusted"),
              std::string::npos)
        << f.desktop.messages[0];
    EXPECT_TRUE(controller.MailServers()[0].Failed);
    EXPECT_EQ(test::ReadFile(f.dir / "Vorlane.log").find("POP3 OUT: USER joe", before.size()),
              std::string::npos)
        << "no login to the changed server";
}

TEST(Tls, AFingerprintThatIsNotOneIsIgnoredAndTheCertificateVerifiedAsUsual)
{
    REQUIRE_TLS_PEERS();
    const TestCertificates certificates;
    Dovecot server;
    server.EnableTls(certificates.Good(), TestCertificates::KeyOf(certificates.Good()));
    server.AddUser("joe", "secret");
    server.Start();
    ControllerFixture f;
    auto row = SecureRow(kSecurityImplicitTls, server.TlsPort());
    row.CertificateSha256 = "not a fingerprint";
    f.Store({row});
    auto& controller = CreateTrusting(f, certificates, server.Port());
    EXPECT_TRUE(f.desktop.messages.empty());
    EXPECT_FALSE(controller.MailServers()[0].Failed);
    EXPECT_TRUE(f.Logged("Mailserver [Home]: CertificateSha256 is not 64 hex digits and is "
                         "ignored: the certificate is verified as usual"));
}

} // namespace
} // namespace vorlane
