#include "mail/Pop3Dialogue.h"

#include "util/AsciiCase.h"
#include "util/Fields.h"
#include "util/WholeNumber.h"

#include <algorithm>

namespace vorlane {

namespace {

bool BeginsWith(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() &&
           EqualsIgnoringCase(line.substr(0, prefix.size()), prefix);
}

bool Contains(std::string_view line, std::string_view word)
{
    return AsciiUpper(line).find(word) != std::string::npos;
}

} // namespace

Pop3Dialogue::Pop3Dialogue(Pop3Transport& transport, std::function<void(const std::string&)> log)
    : transport_(transport), log_(std::move(log))
{}

void Pop3Dialogue::Start(const std::string& user, const std::string& password, bool displayHeaders,
                         MailMessageList& messages, bool useStls)
{
    useStls_ = useStls;
    MailUser = user;
    MailPassword = password;
    MailFailed = false;
    MailBusy = false;
    NegativeReply.clear();
    Failure = MailFailure::None;
    MailState = Pop3Step::NotStarted;
    StatCount = 0;
    StatSize = 0;
    TopIndex = 0;
    ReceiveBuffer.clear();
    lfMayFollow_ = false;
    topAnswered_ = false;
    displayHeaders_ = displayHeaders;
    messages_ = &messages;
}

void Pop3Dialogue::SplitReceivedLines(std::string_view text)
{
    // During the handshake after STLS nothing in plain text is to be trusted.
    if (Ended() || MailState == Pop3Step::TlsHandshake)
        return;
    if (!text.empty()) {
        // A CR at the end of one read and its LF at the start of the next make one line end.
        if (lfMayFollow_ && text.front() == '\n')
            text.remove_prefix(1);
        lfMayFollow_ = false;
    }
    ReceiveBuffer.append(text);

    std::size_t start = 0;
    while (!Ended()) {
        const auto cr = ReceiveBuffer.find('\r', start);
        if (cr == std::string::npos)
            break;
        if (cr - start > kMaxLineLength) {
            Fail(MailFailure::LineTooLong);
            break;
        }
        const std::string line = ReceiveBuffer.substr(start, cr - start);
        start = cr + 1;
        if (start == ReceiveBuffer.size())
            lfMayFollow_ = true;
        else if (ReceiveBuffer[start] == '\n')
            ++start;
        HandleMailLine(line);
        if (MailState == Pop3Step::TlsHandshake)
            break; // "+OK" to STLS: whatever followed it in plain text is dropped
    }
    if (Ended() || MailState == Pop3Step::TlsHandshake) {
        ReceiveBuffer.clear();
        lfMayFollow_ = false;
        return;
    }
    ReceiveBuffer.erase(0, start);
    if (ReceiveBuffer.size() > kMaxLineLength) {
        ReceiveBuffer.clear();
        Fail(MailFailure::LineTooLong);
    }
}

void Pop3Dialogue::HandleMailLine(const std::string& line)
{
    log_("POP3 IN : " + line);
    if (BeginsWith(line, "-ERR")) {
        // Today's servers say "[IN-USE]" (RFC 2449) where older ones said "busy".
        MailBusy = Contains(line, "BUSY") || Contains(line, "[IN-USE]");
        NegativeReply = line;
        Fail(MailFailure::Refused);
        return;
    }
    const bool positive = BeginsWith(line, "+OK");
    if (MailState == Pop3Step::ReceivingHeaders) {
        HandleHeaderLine(line, positive);
        return;
    }
    if (!positive)
        return;
    switch (MailState) {
    case Pop3Step::Connected:
        if (useStls_) {
            Send("STLS", "STLS\r\n");
            MailState = Pop3Step::StlsSent;
        } else {
            Send("USER " + MailUser, "USER " + MailUser + "\r\n");
            MailState = Pop3Step::UserSent;
        }
        break;
    case Pop3Step::StlsSent:
        MailState = Pop3Step::TlsHandshake;
        transport_.StartTls();
        break;
    case Pop3Step::UserSent:
        Send("PASS ********", "PASS " + MailPassword + "\r\n");
        MailState = Pop3Step::PasswordSent;
        break;
    case Pop3Step::PasswordSent:
        Send("STAT", "STAT\r\n");
        MailState = Pop3Step::StatSent;
        break;
    case Pop3Step::StatSent:
        HandleStatReply(line);
        break;
    case Pop3Step::QuitSent:
        MailState = Pop3Step::Finished;
        transport_.Close();
        break;
    default:
        break;
    }
}

void Pop3Dialogue::TlsEstablished()
{
    if (MailState != Pop3Step::TlsHandshake)
        return;
    Send("USER " + MailUser, "USER " + MailUser + "\r\n");
    MailState = Pop3Step::UserSent;
}

void Pop3Dialogue::ConnectionClosed()
{
    if (!Ended())
        Fail(MailFailure::ClosedByServer);
}

void Pop3Dialogue::Fail(MailFailure cause)
{
    if (MailFailed)
        return;
    MailFailed = true;
    Failure = cause;
    transport_.Close();
}

void Pop3Dialogue::HandleStatReply(const std::string& line)
{
    const auto count = ParseCount(ExtractField(line, 2, ' '));
    const auto size = ParseCount(ExtractField(line, 3, ' '));
    if (!count || !size) {
        Fail(MailFailure::InvalidStat);
        return;
    }
    StatCount = *count;
    StatSize = *size;
    if (displayHeaders_ && StatCount > 0) {
        MailState = Pop3Step::ReceivingHeaders;
        RequestHeaders(std::max(1, StatCount - kMaxHeaderRecords + 1));
    } else {
        Send("QUIT", "QUIT\r\n");
        MailState = Pop3Step::QuitSent;
    }
}

void Pop3Dialogue::HandleHeaderLine(const std::string& line, bool positive)
{
    if (!topAnswered_) {
        // Until the request is answered, a line belongs to no message's headers.
        topAnswered_ = positive;
        return;
    }
    if (line == ".") {
        if (TopIndex >= StatCount) {
            Send("QUIT", "QUIT\r\n");
            MailState = Pop3Step::QuitSent;
        } else {
            RequestHeaders(TopIndex + 1);
        }
        return;
    }
    if (messages_ == nullptr || messages_->empty())
        return;
    auto& record = messages_->back().second;
    if (BeginsWith(line, "FROM: "))
        record.From = line.substr(6, kMaxHeaderValueLength);
    else if (BeginsWith(line, "SUBJECT: "))
        record.Subject = line.substr(9, kMaxHeaderValueLength);
}

void Pop3Dialogue::RequestHeaders(int messageNumber)
{
    TopIndex = messageNumber;
    topAnswered_ = false;
    const auto request = "TOP " + std::to_string(TopIndex) + " 0";
    Send(request, request + "\r\n");
    if (messages_ != nullptr)
        messages_->emplace_back(std::to_string(TopIndex), TMailMessage{});
}

void Pop3Dialogue::Send(const std::string& logged, const std::string& command)
{
    log_("POP3 OUT: " + logged);
    transport_.Send(command);
}

} // namespace vorlane
