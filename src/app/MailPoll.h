#pragma once

#include "app/Conversation.h"
#include "mail/CertificateTrust.h"
#include "mail/HeaderCacheStore.h"
#include "mail/MailMessage.h"
#include "mail/MailServer.h"
#include "mail/Pop3Dialogue.h"
#include "mail/imap/ImapDialogue.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

class PasswordStore;
class TrayStatus;

// One poll of one mail server entry: the POP3 or IMAP dialogue over the client socket, with its
// failure and time-out state, the headers it fetched, and the report when it failed. What the
// server lists by unique id is remembered per mailbox in the header cache: headers fetched once,
// also by a poll that failed later, are not fetched again, and the ids listed tell which messages
// no earlier poll has seen.
class MailPoll : public Conversation, private Pop3Transport, private ImapTransport
{
public:
    // What one poll may write into the log at most; a server cannot fill the disk through it.
    static constexpr std::size_t kMaxDialogueLogBytes = 2 * 1024 * 1024;
    // What one read event hands to the dialogue before the time-out is tested again.
    static constexpr qint64 kReadSlice = 16 * 1024;

    // plainPort: the port of an entry without TLS that names none (110; tests use others).
    // keyring: where entries marked so keep their passwords; null: nowhere.
    // cacheFolder: where the header caches live.
    MailPoll(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log, TrayStatus& tray,
             int plainPort, PasswordStore* keyring = nullptr,
             std::filesystem::path cacheFolder = HeaderCacheStore::DefaultFolder());

    // Polls the entry and waits for the end: true when the poll succeeded and StatCount and
    // StatSize hold its result. A busy mailbox counts as a success that found nothing new.
    // With headers on, or unseenOnly, the server is asked what it supports (CAPA) and its
    // extensions are used where it has them.
    // An IMAP entry's folder is examined read-only: StatCount is the number of its unseen
    // messages (StatSize 0) and UnseenCount how many of them no earlier poll found.
    bool RunMailDialogue(const TMailServer& entry, bool displayHeaders, bool unseenOnly = false);
    // The report of the failed poll, logged; the caller shows it.
    std::string ReportMailError(const std::string& entryName);

    int StatCount() const { return StatCount_; }
    int StatSize() const { return StatSize_; }
    const MailMessageList& MailMessages() const { return MailMessages_; }
    void ClearMailMessages() { MailMessages_.clear(); }
    // How many of the messages the successful poll listed by unique id no earlier poll had
    // listed; nothing when it listed none.
    std::optional<int> UnseenCount() const { return UnseenCount_; }
    // The header caches of these entries' mailboxes stay; the others are dropped.
    void KeepHeaderCaches(const std::vector<TMailServer>& entries);

    // The sentence of a network failure, for the next report that is not a time-out
    // (ErrorDetail).
    void SetErrorDetail(std::string detail) { ErrorDetail = std::move(detail); }

    // The server's certificate when the failed poll could not verify it, or found another one
    // than the trusted: what the report offers to trust.
    std::optional<CertificateFacts> UntrustedCertificate() const;

    void MarkFailed() override;

private:
    void Resolving() override;
    void Connecting() override;
    void Connected() override;
    void DataArrived() override;
    void Closed() override;
    void Encrypted() override;

    void Send(const std::string& text) override;
    void Close() override;
    void StartTls() override;

    // A line of the dialogue, as long as the poll has not written too much already.
    void LogDialogueLine(const std::string& text);
    // Opens the connection and waits until the dialogue of the poll ends: false when the
    // connection could not even be opened (or there was no password), the dialogue failed so.
    bool Converse(const TMailServer& entry, bool havePassword);
    bool DialogueEnded() const;
    void FailDialogue(MailFailure cause);
    bool RunImapDialogue(const TMailServer& entry, bool displayHeaders,
                         const std::optional<std::string>& password);
    void OpenFailed(const TMailServer& entry, const std::string& failure);
    // The entry's password from the keyring, within the poll's time-out; none when the keyring
    // did not give it (keyringFailure_ says why).
    std::optional<std::string> KeyringPassword(const TMailServer& entry);
    // Keeps what the poll learnt of the mailbox: the first completeRecords header records under
    // their ids, and the listing of a successful poll (listed), which tells UnseenCount.
    void RememberMailbox(const MailboxIdentity& mailbox, const std::vector<std::string>& recordIds,
                         std::size_t completeRecords, const std::vector<std::string>* listed);

    TrayStatus& tray_;
    int plainPort_;
    PasswordStore* keyring_;
    std::string keyringFailure_; // the poll failed before it began: no password
    Pop3Dialogue Mail;
    ImapDialogue Imap;
    bool imap_ = false; // the poll in progress speaks IMAP
    MailMessageList MailMessages_;
    std::string ErrorDetail;
    int StatCount_ = 0;
    int StatSize_ = 0;
    std::optional<int> UnseenCount_;
    std::size_t dialogueLogBytes_ = 0;
    HeaderCacheStore caches_;
};

} // namespace vorlane
