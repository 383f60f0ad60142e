#pragma once

#include "mail/MailFailure.h"
#include "mail/MailMessage.h"
#include "mail/Pop3Capabilities.h"
#include "mail/Pop3HeaderRequests.h"
#include "mail/Pop3Step.h"
#include "mail/UniqueIdListing.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// Where the dialogue's commands go; the socket on the event loop in the program.
class Pop3Transport
{
public:
    virtual ~Pop3Transport() = default;
    virtual void Send(const std::string& text) = 0;
    virtual void Close() = 0;
    // Begins the TLS handshake on the open connection (after "+OK" to STLS).
    virtual void StartTls() = 0;
};

class HeaderCache;

// What a poll may use besides the commands POP3 always had, each only where the server
// announces it in its answer to CAPA.
struct Pop3Extensions
{
    // Asks CAPA once the connection is ready for the login. With UIDL the unique ids of the
    // waiting messages are listed after STAT; with PIPELINING the header requests go out
    // without waiting for each reply. Without this, or when the server refuses CAPA, the
    // dialogue is the one POP3 always had.
    bool askCapabilities = false;
    // Headers known from earlier polls, by unique id: with UIDL, those are not fetched again.
    const HeaderCache* cache = nullptr;
};

// The client side of one POP3 dialogue, driven line by line: USER, PASS, STAT, optionally
// TOP n 0 for every waiting message, QUIT. It never downloads, deletes or marks a message.
// MailState tells how far it got (Pop3Step).
class Pop3Dialogue
{
public:
    // A line, or text without a line end, longer than this ends the dialogue as a failure:
    // no real reply comes near it, and the buffer must not grow without bound.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;
    // Headers are fetched for at most this many messages, the newest ones, and a sender or
    // subject keeps at most this many bytes: what a server sends cannot exhaust the memory.
    static constexpr int kMaxHeaderRecords = 5000;
    static constexpr std::size_t kMaxHeaderValueLength = Pop3HeaderRequests::kMaxValueLength;
    // With PIPELINING, at most this many header requests wait for their replies at a time.
    static constexpr std::size_t kPipelineWindow = 64;

    Pop3Dialogue(Pop3Transport& transport, std::function<void(const std::string&)> log);

    // Clears the state of the previous dialogue for a new one with these credentials. The
    // header records go into messages, which the caller owns and empties.
    // With useStls the greeting is answered with STLS, and USER follows only once the
    // connection is encrypted: a password never goes out in plain text.
    void Start(const std::string& user, const std::string& password, bool displayHeaders,
               MailMessageList& messages, bool useStls = false, Pop3Extensions extensions = {});
    // The handshake after STLS succeeded: the login goes on.
    void TlsEstablished();

    // All text just received: complete lines (ended by CR, an LF after it dropped) are handed to
    // HandleMailLine in order; an incomplete tail waits for the next read. However the stream is
    // cut into reads, the same lines come out. Once the dialogue has ended, the rest is dropped.
    void SplitReceivedLines(std::string_view text);
    void HandleMailLine(const std::string& line);

    // The server closed the connection: a dialogue that has not ended fails at once.
    void ConnectionClosed();
    // Ends the dialogue as failed for the given cause and closes the connection.
    void Fail(MailFailure cause);
    // Finished (state 9) or failed: nothing more is sent.
    bool Ended() const { return MailFailed || MailState == Pop3Step::Finished; }

    Pop3Step MailState = Pop3Step::NotStarted;
    bool MailFailed = false;
    MailFailure Failure = MailFailure::None;
    bool MailBusy = false;
    // The last negative reply as it came, for the report: users learn what their provider wants.
    std::string NegativeReply;
    std::string ReceiveBuffer;
    std::string MailUser;
    std::string MailPassword;
    int StatCount = 0;
    int StatSize = 0;
    int TopIndex = 0;
    // What the server announced in its answer to CAPA (nothing when it was not asked or
    // refused).
    Pop3Capabilities Capabilities;
    // The unique ids of the messages whose headers a poll may fetch (the newest, up to
    // kMaxHeaderRecords), in the server's order, once the server listed them whole; nothing
    // without a listing.
    std::optional<std::vector<std::string>> UniqueIds;

    // Header requests sent and not yet answered.
    std::size_t HeaderRequestsInFlight() const { return requests_.InFlight(); }
    // The header records before this position are whole (the rest wait for their replies).
    std::size_t CompleteHeaderRecords() const { return requests_.CompleteRecords(); }
    // The unique id of each header record, in the records' order (empty for none).
    const std::vector<std::string>& HeaderRecordIds() const { return requests_.RecordIds(); }

private:
    // Where a line of a reply of several lines (CAPA, UIDL, TOP) stands.
    enum class ListLine
    {
        Status, // the reply's first line, or a line before it that is none
        Body,
        End, // the full stop after the reply's positive first line
    };

    void Send(const std::string& logged, const std::string& command);
    ListLine Classify(const std::string& line, bool positive);
    void SendLogin();
    bool RefusedOptionalCommand();
    // A line of the reply to CAPA, UIDL or TOP, by the state it arrives in.
    void HandleListLine(const std::string& line, bool positive);
    void HandleStatReply(const std::string& line);
    int FirstHeaderMessage() const;
    void RequestHeadersOrQuit();
    void SendHeaderRequests();
    void Quit();

    Pop3Transport& transport_;
    std::function<void(const std::string&)> log_;
    bool displayHeaders_ = false;
    bool useStls_ = false;
    // The last line ended with a CR at the very end of a read: an LF that opens the next read
    // belongs to that line end.
    bool lfMayFollow_ = false;
    // The current reply of several lines was answered positively: from now on lines are its
    // body and a full stop ends them. Before that, a full stop is no end of anything.
    bool replyAnswered_ = false;
    MailMessageList* messages_ = nullptr;
    Pop3Extensions extensions_;
    UniqueIdListing listing_;
    Pop3HeaderRequests requests_;
};

} // namespace vorlane
