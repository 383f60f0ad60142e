#include "mail/Pop3HeaderRequests.h"

#include "mail/HeaderCache.h"

namespace vorlane {

void Pop3HeaderRequests::Begin(int first, int last, std::size_t window,
                               std::vector<std::string> ids, const HeaderCache* cache,
                               MailMessageList& records)
{
    first_ = first;
    last_ = last;
    next_ = first;
    currentNumber_ = 0;
    window_ = window == 0 ? 1 : window;
    ids_ = std::move(ids);
    recordIds_.clear();
    cache_ = cache;
    records_ = &records;
    inFlight_.clear();
    reader_.Reset();
}

const std::string& Pop3HeaderRequests::IdOf(int number) const
{
    static const std::string none;
    const auto index = static_cast<std::size_t>(number - first_);
    return index < ids_.size() ? ids_[index] : none;
}

std::vector<int> Pop3HeaderRequests::Next()
{
    std::vector<int> requests;
    while (inFlight_.size() < window_ && next_ <= last_) {
        const int number = next_++;
        const auto& id = IdOf(number);
        const TMailMessage* cached = cache_ != nullptr && !id.empty() ? cache_->Find(id) : nullptr;
        records_->emplace_back(std::to_string(number),
                               cached != nullptr ? *cached : TMailMessage{});
        recordIds_.push_back(id);
        if (cached != nullptr)
            continue;
        inFlight_.push_back({records_->size() - 1, number});
        requests.push_back(number);
        if (inFlight_.size() == 1)
            currentNumber_ = number;
    }
    return requests;
}

void Pop3HeaderRequests::ReadHeaderLine(std::string_view line)
{
    if (inFlight_.empty())
        return;
    reader_.Read((*records_)[inFlight_.front().record].second, line);
}

void Pop3HeaderRequests::ReplyEnded()
{
    reader_.Reset();
    if (inFlight_.empty())
        return;
    inFlight_.pop_front();
    if (!inFlight_.empty())
        currentNumber_ = inFlight_.front().number;
}

std::size_t Pop3HeaderRequests::CompleteRecords() const
{
    if (records_ == nullptr)
        return 0;
    return inFlight_.empty() ? records_->size() : inFlight_.front().record;
}

} // namespace vorlane
