#pragma once

#include "mail/HeaderLineReader.h"
#include "mail/MailMessage.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

class HeaderCache;

// The header requests of one poll (TOP n 0): which messages are asked for, in what order, how
// many at a time, and which record each reply fills. Messages are taken in the server's order,
// from first to last, and each gets its record in that order. One whose unique id the cache
// knows is filled from there without a request; the others are asked for, at most `window`
// unanswered at a time (1 without pipelining: each request waits for the reply before it).
// Replies come in the order of the requests.
class Pop3HeaderRequests
{
public:
    // Header values keep at most this many bytes: what a server sends cannot exhaust the
    // memory.
    static constexpr std::size_t kMaxValueLength = HeaderLineReader::kMaxValueLength;

    // ids: the unique ids of first..last (empty for none), or no ids at all.
    void Begin(int first, int last, std::size_t window, std::vector<std::string> ids,
               const HeaderCache* cache, MailMessageList& records);
    // The messages to ask for now; their records are appended, and before them those that
    // the cache filled.
    std::vector<int> Next();
    // The unique id of each record appended, in their order (empty for none).
    const std::vector<std::string>& RecordIds() const { return recordIds_; }
    // The header line of the reply being received: "From: " and "Subject: " (any letter case,
    // the blank included) set a value, overwriting an earlier one; a line that begins with a
    // blank or tab continues the value before it, line break kept.
    void ReadHeaderLine(std::string_view line);
    // The reply being received has ended (its full stop).
    void ReplyEnded();

    // The message whose reply is awaited, or the last asked for; 0 before the first.
    int CurrentNumber() const { return currentNumber_; }
    std::size_t InFlight() const { return inFlight_.size(); }
    // Nothing awaited and nothing left to ask for.
    bool Finished() const { return inFlight_.empty() && next_ > last_; }
    // The records before this position are whole: filled from the cache or by a reply that
    // ended.
    std::size_t CompleteRecords() const;

private:
    const std::string& IdOf(int number) const;

    int first_ = 1;
    int last_ = 0;
    int next_ = 1;
    int currentNumber_ = 0;
    std::size_t window_ = 1;
    std::vector<std::string> ids_;
    std::vector<std::string> recordIds_;
    const HeaderCache* cache_ = nullptr;
    MailMessageList* records_ = nullptr;
    struct Request
    {
        std::size_t record; // position in records_
        int number;
    };
    std::deque<Request> inFlight_; // in the order asked
    HeaderLineReader reader_;
};

} // namespace vorlane
