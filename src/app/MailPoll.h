#pragma once

#include "app/Conversation.h"
#include "mail/CertificateTrust.h"
#include "mail/MailMessage.h"
#include "mail/MailServer.h"
#include "mail/Pop3Dialogue.h"

#include <cstddef>
#include <optional>
#include <string>

namespace vorlane {

class PasswordStore;
class TrayStatus;

// One poll of one mail server entry: the POP3 dialogue over the client socket, with its failure
// and time-out state, the headers it fetched, and the report when it failed.
class MailPoll : public Conversation, private Pop3Transport
{
public:
    // What one poll may write into the log at most; a server cannot fill the disk through it.
    static constexpr std::size_t kMaxDialogueLogBytes = 2 * 1024 * 1024;
    // What one read event hands to the dialogue before the time-out is tested again.
    static constexpr qint64 kReadSlice = 16 * 1024;

    // plainPort: the port of an entry without TLS that names none (110; tests use others).
    // keyring: where entries marked so keep their passwords; null: nowhere.
    MailPoll(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log, TrayStatus& tray,
             int plainPort, PasswordStore* keyring = nullptr);

    // Polls the entry and waits for the end: true when the poll succeeded and StatCount and
    // StatSize hold its result. A busy mailbox counts as a success that found nothing new.
    bool RunMailDialogue(const TMailServer& entry, bool displayHeaders);
    // The report of the failed poll, logged; the caller shows it.
    std::string ReportMailError(const std::string& entryName);

    int StatCount() const { return StatCount_; }
    int StatSize() const { return StatSize_; }
    const MailMessageList& MailMessages() const { return MailMessages_; }
    void ClearMailMessages() { MailMessages_.clear(); }

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
    void OpenFailed(const TMailServer& entry, const std::string& failure);
    // The entry's password from the keyring, within the poll's time-out; none when the keyring
    // did not give it (keyringFailure_ says why).
    std::optional<std::string> KeyringPassword(const TMailServer& entry);

    TrayStatus& tray_;
    int plainPort_;
    PasswordStore* keyring_;
    std::string keyringFailure_; // the poll failed before it began: no password
    Pop3Dialogue Mail;
    MailMessageList MailMessages_;
    std::string ErrorDetail;
    int StatCount_ = 0;
    int StatSize_ = 0;
    std::size_t dialogueLogBytes_ = 0;
};

} // namespace vorlane
