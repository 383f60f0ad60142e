#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// How a mailbox is reached: in plain text as POP3 always was, upgraded with STLS, or over TLS
// from the first byte.
enum MailSecurity
{
    kSecurityNone = 0,
    kSecuritySTLS = 1,
    kSecurityImplicitTls = 2,
};

// How the mailbox is spoken to. Stored as its name; an entry without one is POP3.
enum class MailProtocol
{
    Pop3,
    Imap,
};

// "POP3" or "IMAP", as stored.
std::string_view ProtocolName(MailProtocol protocol);
// A stored name, letter case aside; nothing for a name the program does not know.
std::optional<MailProtocol> ParseProtocol(std::string_view name);

// The folder an IMAP entry watches when it names none.
inline constexpr std::string_view kDefaultImapFolder = "INBOX";

// The port for a security setting when the entry names none: 995/110 for POP3, 993/143 for
// IMAP.
int DefaultMailPort(int security, MailProtocol protocol = MailProtocol::Pop3);

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
    MailProtocol Protocol = MailProtocol::Pop3;
    std::string Folder{kDefaultImapFolder}; // the IMAP folder watched
    // The password is not in Password but in the desktop's keyring, read for each poll.
    bool PasswordInKeyring = false;
    // The server certificate the user chose to trust (64 lower-case hex digits of its SHA-256):
    // exactly that one is accepted, and no other. Empty: the usual verification.
    std::string CertificateSha256;
};

} // namespace vorlane
