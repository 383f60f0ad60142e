#include "mail/Pop3Dialogue.h"

#include "util/AsciiCase.h"
#include "util/Fields.h"
#include "util/WholeNumber.h"

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
    MailState = 0;
    ReceiveBuffer.clear();
    lastReadEndedWithCr_ = false;
    displayHeaders_ = displayHeaders;
    messages_ = &messages;
}

void Pop3Dialogue::SplitReceivedLines(std::string_view text)
{
    // A CR at the end of one read and its LF at the start of the next still make one line end.
    if (lastReadEndedWithCr_ && !text.empty() && text.front() == '\n')
        text.remove_prefix(1);
    if (!text.empty())
        lastReadEndedWithCr_ = text.back() == '\r';
    ReceiveBuffer.append(text);

    std::size_t start = 0;
    while (true) {
        const auto cr = ReceiveBuffer.find('\r', start);
        if (cr == std::string::npos)
            break;
        if (cr - start > kMaxLineLength)
            break;
        const std::string line = ReceiveBuffer.substr(start, cr - start);
        start = cr + 1;
        if (start < ReceiveBuffer.size() && ReceiveBuffer[start] == '\n')
            ++start;
        HandleMailLine(line);
        if (MailState == 11) {
            // Whatever came in plain text after "+OK" to STLS is not to be trusted.
            start = ReceiveBuffer.size();
            lastReadEndedWithCr_ = false;
            break;
        }
    }
    ReceiveBuffer.erase(0, start);
    const auto pending = ReceiveBuffer.find('\r');
    if ((pending == std::string::npos ? ReceiveBuffer.size() : pending) > kMaxLineLength) {
        ReceiveBuffer.clear();
        MailFailed = true;
        transport_.Close();
    }
}

void Pop3Dialogue::HandleMailLine(const std::string& line)
{
    log_("POP3 IN : " + line);
    if (BeginsWith(line, "-ERR")) {
        MailFailed = true;
        // Today's servers say "[IN-USE]" (RFC 2449) where older ones said "busy".
        MailBusy = Contains(line, "BUSY") || Contains(line, "[IN-USE]");
        transport_.Close();
        return;
    }
    if (BeginsWith(line, "+OK")) {
        switch (MailState) {
        case 3:
            if (useStls_) {
                Send("STLS", "STLS\r\n");
                MailState = 10;
            } else {
                Send("USER " + MailUser, "USER " + MailUser + "\r\n");
                MailState = 4;
            }
            break;
        case 10:
            MailState = 11;
            transport_.StartTls();
            break;
        case 4:
            Send("PASS ********", "PASS " + MailPassword + "\r\n");
            MailState = 5;
            break;
        case 5:
            Send("STAT", "STAT\r\n");
            MailState = 6;
            break;
        case 6:
            HandleStatReply(line);
            break;
        case 8:
            MailState = 9;
            transport_.Close();
            break;
        default:
            break;
        }
    }
    if (MailState == 7)
        HandleHeaderLine(line);
}

void Pop3Dialogue::TlsEstablished()
{
    if (MailState != 11)
        return;
    Send("USER " + MailUser, "USER " + MailUser + "\r\n");
    MailState = 4;
}

void Pop3Dialogue::HandleStatReply(const std::string& line)
{
    const auto count = ParseWholeNumber(ExtractField(line, 2, ' '));
    const auto size = ParseWholeNumber(ExtractField(line, 3, ' '));
    if (!count || !size) {
        MailFailed = true;
        return;
    }
    StatCount = *count;
    StatSize = *size;
    if (displayHeaders_ && StatCount > 0) {
        Send("TOP 1 0", "TOP 1 0\r\n");
        MailState = 7;
        TopIndex = 1;
        AddHeaderRecord();
    } else {
        Send("QUIT", "QUIT\r\n");
        MailState = 8;
    }
}

void Pop3Dialogue::HandleHeaderLine(const std::string& line)
{
    if (TopIndex >= 1 && messages_ != nullptr &&
        static_cast<std::size_t>(TopIndex) <= messages_->size()) {
        auto& record = (*messages_)[TopIndex - 1].second;
        if (BeginsWith(line, "FROM: "))
            record.From = line.substr(6);
        else if (BeginsWith(line, "SUBJECT: "))
            record.Subject = line.substr(9);
    }
    if (line != ".")
        return;
    if (TopIndex == StatCount) {
        Send("QUIT", "QUIT\r\n");
        MailState = 8;
        return;
    }
    ++TopIndex;
    const auto request = "TOP " + std::to_string(TopIndex) + " 0";
    Send(request, request + "\r\n");
    AddHeaderRecord();
}

void Pop3Dialogue::AddHeaderRecord()
{
    if (messages_ != nullptr)
        messages_->emplace_back(std::to_string(TopIndex), TMailMessage{});
}

void Pop3Dialogue::Send(const std::string& logged, const std::string& command)
{
    log_("POP3 OUT: " + logged);
    transport_.Send(command);
}

} // namespace vorlane
