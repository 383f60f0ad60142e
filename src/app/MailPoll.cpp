#include "app/MailPoll.h"

#include "app/ActivityLog.h"
#include "app/EntrySocket.h"
#include "app/NetworkWait.h"
#include "app/TrayStatus.h"
#include "config/PasswordStore.h"
#include "mail/MailErrorReport.h"
#include "net/PeerCertificate.h"
#include "net/SocketErrors.h"
#include "util/ErrorReport.h"
#include "util/Log.h"

#include <algorithm>
#include <exception>
#include <string_view>

namespace vorlane {

MailPoll::MailPoll(ClientSocket& socket, NetworkWait& wait, const ActivityLog& log,
                   TrayStatus& tray, int plainPort, PasswordStore* keyring,
                   std::filesystem::path cacheFolder)
    : Conversation(socket, wait, log), tray_(tray), plainPort_(plainPort), keyring_(keyring),
      Mail(*this, [this](const std::string& text) { LogDialogueLine(text); }),
      Imap(*this, [this](const std::string& text) { LogDialogueLine(text); }),
      caches_(std::move(cacheFolder))
{}

bool MailPoll::RunMailDialogue(const TMailServer& entry, bool displayHeaders, bool unseenOnly)
{
    imap_ = entry.Protocol == MailProtocol::Imap;
    const int defaultPort = entry.Security == kSecurityImplicitTls || imap_
                                ? DefaultMailPort(entry.Security, entry.Protocol)
                                : plainPort_;
    AimSocketAtEntry(socket_, entry, defaultPort);
    tray_.ShowCheckingStatus(entry.Host);
    dialogueLogBytes_ = 0;
    keyringFailure_.clear();
    UnseenCount_.reset();
    // Without headers or the unseen-only rule nothing would use what the server supports.
    const bool extended = displayHeaders || unseenOnly;
    const auto mailbox = MailboxIdentity::Pop3(entry);
    wait_.Begin(*this);
    // The password lives in memory only for the poll that needs it.
    const auto password =
        entry.PasswordInKeyring ? KeyringPassword(entry) : std::optional(entry.Password);
    if (imap_)
        return RunImapDialogue(entry, displayHeaders, password);
    Mail.Start(entry.UserName, password.value_or(""), displayHeaders, MailMessages_,
               entry.Security == kSecuritySTLS,
               {extended, extended ? &caches_.For(mailbox) : nullptr});
    if (!Converse(entry, password.has_value()))
        return false;
    if (extended)
        RememberMailbox(mailbox, Mail.HeaderRecordIds(), Mail.CompleteHeaderRecords(),
                        Mail.MailState == Pop3Step::Finished && !Mail.MailFailed && Mail.UniqueIds
                            ? &*Mail.UniqueIds
                            : nullptr);
    if (Mail.MailBusy) {
        // A busy mailbox is a poll that found nothing new.
        StatCount_ = entry.MessageCount;
        StatSize_ = entry.MailboxSize;
        return true;
    }
    StatCount_ = Mail.StatCount;
    StatSize_ = Mail.StatSize;
    return Mail.MailState == Pop3Step::Finished;
}

bool MailPoll::Converse(const TMailServer& entry, bool havePassword)
{
    if (!havePassword) {
        wait_.End();
        FailDialogue(MailFailure::CannotOpen);
        return false;
    }
    try {
        socket_.Open();
    } catch (const std::exception& failure) {
        wait_.End();
        OpenFailed(entry, failure.what());
        return false;
    }
    wait_.WaitWhile([this] { return !DialogueEnded() && !wait_.TimedOut() && wait_.Running(); });
    wait_.End();
    socket_.Close();
    return true;
}

bool MailPoll::DialogueEnded() const
{
    return imap_ ? Imap.Ended() : Mail.Ended();
}

void MailPoll::FailDialogue(MailFailure cause)
{
    if (imap_)
        Imap.Fail(cause);
    else
        Mail.Fail(cause);
}

bool MailPoll::RunImapDialogue(const TMailServer& entry, bool displayHeaders,
                               const std::optional<std::string>& password)
{
    // Unseen messages are new mail only once: the ids of those found before are remembered
    // with the headers.
    const auto mailbox = MailboxIdentity::Of(entry);
    ImapOptions options;
    options.useStartTls = entry.Security == kSecuritySTLS;
    options.fetchHeaders = displayHeaders;
    options.cache = &caches_.For(mailbox);
    Imap.Start(entry.UserName, password.value_or(""), entry.Folder, MailMessages_, options);
    if (!Converse(entry, password.has_value()))
        return false;
    const bool succeeded = Imap.MailState == ImapStep::Finished && !Imap.MailFailed;
    // The unseen messages are the listing: those no earlier poll found are new.
    std::vector<std::string> unseen;
    for (const auto uid : Imap.UnseenUids)
        unseen.push_back(ImapDialogue::CacheId(Imap.UidValidity, uid));
    const bool listed = succeeded && Imap.UidValidity != 0;
    RememberMailbox(mailbox, Imap.HeaderRecordIds(), Imap.HeaderRecordIds().size(),
                    listed ? &unseen : nullptr);
    if (succeeded && !listed)
        UnseenCount_ = Imap.UnseenCount(); // without UIDVALIDITY, every unseen message is new
    StatCount_ = Imap.UnseenCount();
    StatSize_ = 0;
    if (!succeeded && ErrorDetail.empty())
        ErrorDetail = EscapeLogText(Imap.Detail);
    return succeeded;
}

void MailPoll::OpenFailed(const TMailServer& entry, const std::string& failure)
{
    // An entry that cannot even be opened (no host) fails like any other poll, so it cannot
    // keep the entries after it from being polled; its report says why.
    ErrorDetail = SocketErrorSentence(failure);
    if (ErrorDetail.empty())
        ErrorDetail =
            entry.Host.empty() ? "no mail server is set for this entry" : EscapeLogText(failure);
    FailDialogue(MailFailure::CannotOpen);
}

std::optional<std::string> MailPoll::KeyringPassword(const TMailServer& entry)
{
    const auto found = keyring_ != nullptr
                           ? keyring_->Read({entry.UserName, entry.Host}, wait_.RemainingTime())
                           : KeyringResult{};
    if (found.Status == KeyringStatus::Done)
        return found.Password;
    if (found.Status == KeyringStatus::TimedOut && !wait_.TimedOut())
        wait_.ProtocolTimerTimer(); // the keyring took the poll's whole time
    log_.LogMessage("Keyring: no password for " + entry.UserName + "@" + entry.Host);
    keyringFailure_ = KeyringFailureSentence(found);
    return std::nullopt;
}

std::optional<CertificateFacts> MailPoll::UntrustedCertificate() const
{
    if (socket_.UntrustedCertificate().isNull())
        return std::nullopt;
    return CertificateFactsOf(socket_.UntrustedCertificate());
}

void MailPoll::RememberMailbox(const MailboxIdentity& mailbox,
                               const std::vector<std::string>& recordIds,
                               std::size_t completeRecords, const std::vector<std::string>* listed)
{
    auto& cache = caches_.For(mailbox);
    const auto whole = std::min({completeRecords, MailMessages_.size(), recordIds.size()});
    for (std::size_t i = 0; i < whole; ++i)
        if (!recordIds[i].empty())
            cache.Add(recordIds[i], MailMessages_[i].second);
    if (listed != nullptr) {
        UnseenCount_ = cache.CountUnseen(*listed);
        cache.Listed(*listed);
    }
    const auto failure = caches_.Save(mailbox);
    if (!failure.empty())
        log_.LogMessage("Header cache: " + failure);
}

void MailPoll::KeepHeaderCaches(const std::vector<TMailServer>& entries)
{
    std::vector<MailboxIdentity> mailboxes;
    for (const auto& entry : entries)
        mailboxes.push_back(MailboxIdentity::Of(entry));
    caches_.KeepOnly(mailboxes);
}

std::string MailPoll::ReportMailError(const std::string& entryName)
{
    if (!keyringFailure_.empty()) {
        const auto report = ComposeErrorReport("'" + entryName + "'", wait_.TimedOut(),
                                               kKeyringTimeOutPhrase, keyringFailure_);
        log_.LogMessage("Mail error: " + report);
        return report;
    }
    const auto report =
        imap_ ? ComposeMailErrorReport(entryName, Imap.MailState, wait_.TimedOut(), ErrorDetail,
                                       socket_.TlsFailure(), Imap.Failure, Imap.NegativeReply)
              : ComposeMailErrorReport(entryName, Mail.MailState, wait_.TimedOut(), ErrorDetail,
                                       socket_.TlsFailure(), Mail.Failure, Mail.NegativeReply);
    log_.LogMessage("Mail error: " + report);
    return report;
}

void MailPoll::MarkFailed()
{
    FailDialogue(MailFailure::Refused);
}

void MailPoll::Resolving()
{
    Mail.MailState = Pop3Step::Resolving;
    Imap.MailState = ImapStep::Resolving;
}

void MailPoll::Connecting()
{
    Mail.MailState = Pop3Step::Connecting;
    Imap.MailState = ImapStep::Connecting;
}

void MailPoll::Connected()
{
    Mail.MailState = Pop3Step::Connected;
    Imap.MailState = ImapStep::Connected;
}

void MailPoll::DataArrived()
{
    // Slice by slice, with the time-out tested in between: a server that never stops sending
    // keeps every timer waiting.
    while (socket_.Active() && socket_.ReceiveLength() > 0 && !DialogueEnded()) {
        const auto text = socket_.ReceiveText(kReadSlice);
        if (imap_)
            Imap.SplitReceived(text);
        else
            Mail.SplitReceivedLines(text);
        if (wait_.DeadlinePassed()) {
            wait_.ProtocolTimerTimer();
            break;
        }
    }
}

void MailPoll::Closed()
{
    if (imap_)
        Imap.ConnectionClosed();
    else
        Mail.ConnectionClosed();
}

void MailPoll::Encrypted()
{
    if (imap_)
        Imap.TlsEstablished();
    else
        Mail.TlsEstablished();
}

void MailPoll::Send(const std::string& text)
{
    socket_.SendText(text);
}

void MailPoll::Close()
{
    socket_.Close();
}

void MailPoll::StartTls()
{
    socket_.StartTls();
}

void MailPoll::LogDialogueLine(const std::string& text)
{
    if (dialogueLogBytes_ >= kMaxDialogueLogBytes)
        return;
    dialogueLogBytes_ += text.size() + std::string_view("hh:mm:ss.mmm \r\n").size();
    if (dialogueLogBytes_ < kMaxDialogueLogBytes)
        log_.LogMessage(text);
    else
        log_.LogMessage(std::string(imap_ ? "IMAP" : "POP3") +
                        ": the rest of this dialogue is left out of the log: it is too long.");
}

} // namespace vorlane
