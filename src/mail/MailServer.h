#pragma once

#include <string>

namespace vorlane {

// How a mailbox is reached: in plain text as POP3 always was, upgraded with STLS, or over TLS
// from the first byte.
enum MailSecurity
{
    kSecurityNone = 0,
    kSecuritySTLS = 1,
    kSecurityImplicitTls = 2,
};

// The port for a security setting when the entry names none.
int DefaultMailPort(int security);

// One configured mailbox with its minute schedule and the result of its last successful poll.
struct TMailServer
{
    TMailServer(std::string name, std::string userName, std::string password, std::string host,
                int interval);

    // Counts one minute; due when the counter reaches the interval and the last poll did not
    // fail. The counter runs on while Failed is set.
    bool IsDue();
    // Makes the next IsDue due and puts a failed entry back on its schedule.
    void ResetSchedule();
    void SetMessageCount(int count);
    // A change of 34 octets or less does not count as a change.
    void SetMailboxSize(int size);
    bool HasNewMail() const { return CountChanged || SizeChanged; }

    int MinuteCounter;
    int Interval;
    int MessageCount = 0;
    int MailboxSize = 0;
    bool SizeChanged = false;
    bool CountChanged = false;
    bool Failed = false;
    std::string Name;
    std::string UserName;
    std::string Password; // plain, in memory only
    std::string Host;
    bool IsAddress; // Host is a dotted address that needs no name lookup
    int Security = kSecurityNone;
    int Port = 0; // 0: the usual port of the security setting
    // The password is not in Password but in the desktop's keyring, read for each poll.
    bool PasswordInKeyring = false;
    // The server certificate the user chose to trust (64 lower-case hex digits of its SHA-256):
    // exactly that one is accepted, and no other. Empty: the usual verification.
    std::string CertificateSha256;
};

} // namespace vorlane
