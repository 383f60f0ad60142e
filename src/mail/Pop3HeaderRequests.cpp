#include "mail/Pop3HeaderRequests.h"

#include "mail/HeaderCache.h"
#include "util/AsciiCase.h"

namespace vorlane {

namespace {

bool BeginsWithName(std::string_view line, std::string_view name)
{
    return line.size() >= name.size() && EqualsIgnoringCase(line.substr(0, name.size()), name);
}

void SetValue(std::string& value, std::string_view text)
{
    value = text.substr(0, Pop3HeaderRequests::kMaxValueLength);
}

} // namespace

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
    continued_ = nullptr;
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
    auto& record = (*records_)[inFlight_.front().record].second;
    if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
        if (continued_ != nullptr) {
            auto& value = record.*continued_;
            SetValue(value, (value + "\r\n").append(line));
        }
        return;
    }
    continued_ = nullptr;
    if (BeginsWithName(line, "FROM: ")) {
        SetValue(record.From, line.substr(6));
        continued_ = &TMailMessage::From;
    } else if (BeginsWithName(line, "SUBJECT: ")) {
        SetValue(record.Subject, line.substr(9));
        continued_ = &TMailMessage::Subject;
    }
}

void Pop3HeaderRequests::ReplyEnded()
{
    continued_ = nullptr;
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
