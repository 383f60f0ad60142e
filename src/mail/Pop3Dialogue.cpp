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
                         MailMessageList& messages, bool useStls, Pop3Extensions extensions)
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
    Capabilities = {};
    UniqueIds.reset();
    ReceiveBuffer.clear();
    lfMayFollow_ = false;
    replyAnswered_ = false;
    displayHeaders_ = displayHeaders;
    messages_ = &messages;
    extensions_ = extensions;
    requests_ = {};
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
        if (RefusedOptionalCommand())
            return;
        // Today's servers say "[IN-USE]" (RFC 2449) where older ones said "busy".
        MailBusy = Contains(line, "BUSY") || Contains(line, "[IN-USE]");
        NegativeReply = line;
        Fail(MailFailure::Refused);
        return;
    }
    const bool positive = BeginsWith(line, "+OK");
    if (MailState == Pop3Step::CapaSent || MailState == Pop3Step::UidlSent ||
        MailState == Pop3Step::ReceivingHeaders) {
        HandleListLine(line, positive);
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
            SendLogin();
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
    if (MailState == Pop3Step::TlsHandshake)
        SendLogin();
}

void Pop3Dialogue::SendLogin()
{
    // Asked once the connection is what the login will use: after STLS, what the server said
    // before the handshake is not to be trusted (RFC 2595).
    if (extensions_.askCapabilities && MailState != Pop3Step::CapaSent) {
        Send("CAPA", "CAPA\r\n");
        MailState = Pop3Step::CapaSent;
        replyAnswered_ = false;
        return;
    }
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

Pop3Dialogue::ListLine Pop3Dialogue::Classify(const std::string& line, bool positive)
{
    if (!replyAnswered_) {
        // Until the command is answered, a line belongs to no reply's body.
        replyAnswered_ = positive;
        return ListLine::Status;
    }
    if (line == ".") {
        replyAnswered_ = false;
        return ListLine::End;
    }
    return ListLine::Body;
}

bool Pop3Dialogue::RefusedOptionalCommand()
{
    // A server may not know CAPA or UIDL: the dialogue goes on as POP3 always had it.
    if (replyAnswered_)
        return false;
    if (MailState == Pop3Step::CapaSent) {
        Capabilities = {};
        SendLogin();
        return true;
    }
    if (MailState == Pop3Step::UidlSent) {
        RequestHeadersOrQuit();
        return true;
    }
    return false;
}

void Pop3Dialogue::HandleListLine(const std::string& line, bool positive)
{
    switch (Classify(line, positive)) {
    case ListLine::Status:
        return;
    case ListLine::Body:
        if (MailState == Pop3Step::CapaSent)
            Capabilities.Read(line);
        else if (MailState == Pop3Step::UidlSent)
            listing_.Read(line);
        else
            requests_.ReadHeaderLine(line);
        return;
    case ListLine::End:
        if (MailState == Pop3Step::CapaSent) {
            SendLogin();
        } else if (MailState == Pop3Step::UidlSent) {
            UniqueIds = listing_.Result();
            listing_ = {};
            RequestHeadersOrQuit();
        } else {
            requests_.ReplyEnded();
            SendHeaderRequests();
        }
        return;
    }
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
    if (!extensions_.askCapabilities || !Capabilities.Uidl) {
        RequestHeadersOrQuit();
    } else if (StatCount == 0) {
        UniqueIds.emplace(); // nothing waits, so nothing to list
        RequestHeadersOrQuit();
    } else {
        listing_.Begin(FirstHeaderMessage(), StatCount);
        Send("UIDL", "UIDL\r\n");
        MailState = Pop3Step::UidlSent;
        replyAnswered_ = false;
    }
}

int Pop3Dialogue::FirstHeaderMessage() const
{
    // The newest messages, up to the limit.
    return std::max(1, StatCount - kMaxHeaderRecords + 1);
}

void Pop3Dialogue::RequestHeadersOrQuit()
{
    if (!displayHeaders_ || StatCount <= 0 || messages_ == nullptr) {
        Quit();
        return;
    }
    MailState = Pop3Step::ReceivingHeaders;
    replyAnswered_ = false;
    requests_.Begin(FirstHeaderMessage(), StatCount, Capabilities.Pipelining ? kPipelineWindow : 1,
                    UniqueIds.value_or(std::vector<std::string>{}), extensions_.cache, *messages_);
    SendHeaderRequests();
}

void Pop3Dialogue::SendHeaderRequests()
{
    for (const int number : requests_.Next()) {
        const auto request = "TOP " + std::to_string(number) + " 0";
        Send(request, request + "\r\n");
    }
    TopIndex = requests_.CurrentNumber();
    if (requests_.Finished())
        Quit(); // every header was known already, or the last reply has come
}

void Pop3Dialogue::Quit()
{
    Send("QUIT", "QUIT\r\n");
    MailState = Pop3Step::QuitSent;
}

void Pop3Dialogue::Send(const std::string& logged, const std::string& command)
{
    log_("POP3 OUT: " + logged);
    transport_.Send(command);
}

} // namespace vorlane
