#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace vorlane::test {

// A real Dovecot POP3 and IMAP server on 127.0.0.1 with its own configuration, users and maildirs
// in a temporary folder. Needs root (it runs its mail processes as nobody). Ended, by its process
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
    // IMAP, plain or with STARTTLS once TLS is enabled.
    int ImapPort() const { return imapPort_; }
    // TLS with this certificate and key (PEM files): STLS on Port(), implicit TLS on TlsPort().
    // Without it the server offers no TLS at all.
    void EnableTls(const std::string& certificateFile, const std::string& keyFile);
    int TlsPort() const { return tlsPort_; }
    // IMAP over TLS from the first byte, once TLS is enabled.
    int ImapTlsPort() const { return imapTlsPort_; }
    void AddUser(const std::string& user, const std::string& password);
    // Delivers a message to the user's mailbox; returns its size in octets as POP3 counts it.
    int AddMessage(const std::string& user, const std::string& from, const std::string& subject,
                   const std::string& body = "Hello.");
    // Stores a message as one the mailbox has seen before, with these Maildir flags ("S" for
    // seen, "" for none) in its file name; returns that name.
    std::string AddFlaggedMessage(const std::string& user, const std::string& from,
                                  const std::string& subject, const std::string& flags);
    // The names of the files in the user's Maildir (new/ and cur/), sorted: a message's flags are
    // part of its name.
    std::vector<std::string> MaildirFiles(const std::string& user) const;
    void Start();

private:
    void WriteConfiguration();
    TempDir dir_{"dovecot"};
    int port_;
    int tlsPort_ = 0;
    int imapPort_;
    int imapTlsPort_ = 0;
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
