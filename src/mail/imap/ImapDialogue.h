#pragma once

#include "mail/MailFailure.h"
#include "mail/MailMessage.h"
#include "mail/imap/ImapResponseParser.h"
#include "mail/imap/ImapStep.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

class HeaderCache;

// Where the dialogue's commands go; the socket on the event loop in the program.
class ImapTransport
{
public:
    virtual ~ImapTransport() = default;
    virtual void Send(const std::string& text) = 0;
    virtual void Close() = 0;
    // Begins the TLS handshake on the open connection (after OK to STARTTLS).
    virtual void StartTls() = 0;
};

struct ImapOptions
{
    // STARTTLS before the login: the password never goes out in plain text.
    bool useStartTls = false;
    // Sender and subject of the unseen messages (the newest kMaxHeaderRecords).
    bool fetchHeaders = true;
    // Headers known from earlier polls, by CacheId: those are not fetched again.
    const HeaderCache* cache = nullptr;
    // After the poll, wait in IDLE (RFC 2177) where the server announces it, telling each
    // EXISTS or RECENT it reports until Done().
    bool idle = false;
    std::function<void(const std::string& name, std::uint32_t number)> mailboxChanged;
};

// The client side of one IMAP dialogue (RFC 3501) with one folder, read-only: greeting,
// CAPABILITY, STARTTLS when asked, LOGIN (AUTHENTICATE PLAIN where LOGINDISABLED), EXAMINE,
// UID SEARCH UNSEEN, UID FETCH of the headers not known yet, optionally IDLE, LOGOUT. It never
// changes a flag, never moves or deletes: no SELECT, no STORE, and headers are fetched with
// BODY.PEEK. MailState tells how far it got (ImapStep).
class ImapDialogue
{
public:
    static constexpr int kMaxHeaderRecords = 5000;
    // UIDs asked for in one UID FETCH, so that no command line grows long.
    static constexpr std::size_t kFetchBatch = 500;

    ImapDialogue(ImapTransport& transport, std::function<void(const std::string&)> log);

    // Clears the state of the previous dialogue for a new one. The header records go into
    // messages, which the caller owns and empties, each under its UID in decimal.
    void Start(const std::string& user, const std::string& password, const std::string& folder,
               MailMessageList& messages, ImapOptions options = {});
    // The handshake after STARTTLS succeeded: the dialogue goes on.
    void TlsEstablished();
    // All bytes just received, cut anywhere.
    void SplitReceived(std::string_view bytes);
    // The server closed the connection: a dialogue that has not ended fails at once.
    void ConnectionClosed();
    // Ends the dialogue as failed for the given cause and closes the connection.
    void Fail(MailFailure cause);
    // Ends IDLE: the dialogue logs out.
    void Done();
    bool Ended() const { return MailFailed || MailState == ImapStep::Finished; }
    // The server has accepted IDLE and DONE has not gone out yet.
    bool Idling() const { return MailState == ImapStep::Idling && idleAccepted_ && !doneSent_; }

    // The id under which the header cache keeps a message's headers: a UID means the same
    // message only within one UIDVALIDITY.
    static std::string CacheId(std::uint32_t uidValidity, std::uint32_t uid);

    ImapStep MailState = ImapStep::NotStarted;
    bool MailFailed = false;
    MailFailure Failure = MailFailure::None;
    // The server's negative reply or BYE as it came, for the report.
    std::string NegativeReply;
    // Why the dialogue failed where the server said nothing (a malformed response, no way to
    // log in).
    std::string Detail;
    // What the server announced, in upper case.
    std::set<std::string> Capabilities;
    std::uint32_t UidValidity = 0;
    std::uint32_t Exists = 0;
    // The unseen messages, in UID order, once the search has been answered.
    std::vector<std::uint32_t> UnseenUids;
    int UnseenCount() const { return static_cast<int>(UnseenUids.size()); }
    // The cache id of each header record, in the records' order (empty without UIDVALIDITY).
    const std::vector<std::string>& HeaderRecordIds() const { return recordIds_; }

private:
    bool Handle(ImapResponse&& response);
    void HandleUntagged(const ImapResponse& response);
    void HandleTagged(const ImapResponse& response);
    void HandleContinuation();
    void HandleFetch(const ImapResponse& response);
    void ReadCapabilities(std::string_view words);
    bool Has(const std::string& capability) const { return Capabilities.count(capability) > 0; }

    // Sends a command: pieces alternate between text and literals (text, literal, text, ...).
    // Only `logged` goes to the log, after the tag.
    void SendCommand(ImapStep step, const std::vector<std::string>& pieces,
                     const std::string& logged);
    void AfterGreeting();
    void Login();
    void Examine();
    void Search();
    void AfterSearch();
    void FetchNextBatch();
    void AfterFetch();
    void Logout();

    ImapTransport* transport_;
    std::function<void(const std::string&)> log_;
    ImapResponseParser parser_;
    std::string user_;
    std::string password_;
    std::string folder_;
    ImapOptions options_;
    MailMessageList* messages_ = nullptr;
    int tagNumber_ = 0;
    std::string tag_;
    // What goes out after each continuation request of the command in progress.
    std::deque<std::string> pending_;
    bool tlsDone_ = false;
    bool idleAccepted_ = false;
    bool doneWanted_ = false;
    bool doneSent_ = false;
    std::set<std::uint32_t> unseen_;
    // The UIDs whose headers the records hold, oldest first, and those still to ask for.
    std::vector<std::uint32_t> headerUids_;
    std::vector<std::uint32_t> toFetch_;
    std::size_t fetched_ = 0;
    std::set<std::uint32_t> batch_;
    std::map<std::uint32_t, TMailMessage> headers_;
    std::vector<std::string> recordIds_;
};

} // namespace vorlane
