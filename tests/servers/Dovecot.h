#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>

namespace vorlane::test {

// A real Dovecot POP3 server on 127.0.0.1 with its own configuration, users and maildirs in a
// temporary folder. Needs root (it runs its mail processes as nobody). Ended, by its process
// id, when the object goes.
class Dovecot
{
public:
    // Port 0 picks a free one.
    explicit Dovecot(int port = 0);
    Dovecot(const Dovecot&) = delete;
    Dovecot& operator=(const Dovecot&) = delete;
    ~Dovecot();

    static bool Available(std::string& why);

    int Port() const { return port_; }
    // TLS with this certificate and key (PEM files): STLS on Port(), implicit TLS on TlsPort().
    // Without it the server offers no TLS at all.
    void EnableTls(const std::string& certificateFile, const std::string& keyFile);
    int TlsPort() const { return tlsPort_; }
    void AddUser(const std::string& user, const std::string& password);
    // Delivers a message to the user's mailbox; returns its size in octets as POP3 counts it.
    int AddMessage(const std::string& user, const std::string& from, const std::string& subject,
                   const std::string& body = "Hello.");
    void Start();

private:
    void WriteConfiguration();
    TempDir dir_{"dovecot"};
    int port_;
    int tlsPort_ = 0;
    std::string certificateFile_;
    std::string keyFile_;
    pid_t pid_ = -1;
    int messages_ = 0;
};

} // namespace vorlane::test

// Skips the test, saying why, where Dovecot cannot run.
#define REQUIRE_DOVECOT()                                                                          \
    do {                                                                                           \
        std::string why;                                                                           \
        if (!::vorlane::test::Dovecot::Available(why))                                             \
            GTEST_SKIP() << why;                                                                   \
    } while (false)
