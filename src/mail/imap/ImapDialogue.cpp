#include "mail/imap/ImapDialogue.h"

#include "mail/HeaderCache.h"
#include "mail/HeaderLineReader.h"
#include "util/AsciiCase.h"

#include <algorithm>
#include <limits>

namespace vorlane {

namespace {

std::string Base64(std::string_view bytes)
{
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return text;
}

// Characters an astring may hold without quotes: what no server takes for anything else.
bool IsPlainChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7f)
        return false;
    return std::string_view("(){%*\"\\]").find(c) == std::string_view::npos;
}

// Adds the value to the command's pieces as an atom, a quoted string or, for bytes no quoted
// string may hold, a literal.
void AddAstring(std::vector<std::string>& pieces, const std::string& value)
{
    if (!value.empty() && std::all_of(value.begin(), value.end(), IsPlainChar)) {
        pieces.back() += value;
        return;
    }
    const bool quotable = std::all_of(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte != 0 && byte != '\r' && byte != '\n' && byte < 0x80;
    });
    if (!quotable) {
        pieces.push_back(value);
        pieces.emplace_back();
        return;
    }
    auto& text = pieces.back();
    text += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    text += '"';
}

std::string UidSet(const std::vector<std::uint32_t>& uids)
{
    std::string set;
    for (std::size_t i = 0; i < uids.size();) {
        std::size_t j = i;
        while (j + 1 < uids.size() && uids[j + 1] == uids[j] + 1)
            ++j;
        if (!set.empty())
            set += ',';
        set += std::to_string(uids[i]);
        if (j > i)
            set += ':' + std::to_string(uids[j]);
        i = j + 1;
    }
    return set;
}

// A message's UID (nz-number), or 0 for anything else.
std::uint32_t Uid(const ImapValue& value)
{
    if (!value.IsNumber() || value.number == 0 ||
        value.number > std::numeric_limits<std::uint32_t>::max())
        return 0;
    return static_cast<std::uint32_t>(value.number);
}

} // namespace

ImapDialogue::ImapDialogue(ImapTransport& transport, std::function<void(const std::string&)> log)
    : transport_(&transport), log_(std::move(log))
{}

std::string ImapDialogue::CacheId(std::uint32_t uidValidity, std::uint32_t uid)
{
    return std::to_string(uidValidity) + "." + std::to_string(uid);
}

void ImapDialogue::Start(const std::string& user, const std::string& password,
                         const std::string& folder, MailMessageList& messages, ImapOptions options)
{
    *this = ImapDialogue(*transport_, std::move(log_));
    user_ = user;
    password_ = password;
    folder_ = folder;
    messages_ = &messages;
    options_ = std::move(options);
}

void ImapDialogue::SplitReceived(std::string_view bytes)
{
    // During the handshake after STARTTLS nothing in plain text is to be trusted.
    if (Ended() || MailState == ImapStep::TlsHandshake)
        return;
    parser_.Feed(bytes, [this](ImapResponse&& response) { return Handle(std::move(response)); });
    if (parser_.LastError() != ImapResponseParser::Error::None && !Ended()) {
        Detail = parser_.ErrorText();
        log_("IMAP error: " + Detail);
        const auto error = parser_.LastError();
        Fail(error == ImapResponseParser::Error::LineTooLong ||
                     error == ImapResponseParser::Error::LiteralTooLong ||
                     error == ImapResponseParser::Error::ResponseTooLong
                 ? MailFailure::LineTooLong
                 : MailFailure::MalformedReply);
    }
}

bool ImapDialogue::Handle(ImapResponse&& response)
{
    for (std::size_t at = 0; at <= response.raw.size();) {
        auto end = response.raw.find('\n', at);
        if (end == std::string::npos)
            end = response.raw.size();
        auto line = std::string_view(response.raw).substr(at, end - at);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        log_("IMAP IN : " + std::string(line));
        at = end + 1;
    }
    if (response.code == "CAPABILITY")
        ReadCapabilities(response.codeArguments);
    switch (response.kind) {
    case ImapResponse::Kind::Untagged:
        HandleUntagged(response);
        break;
    case ImapResponse::Kind::Tagged:
        HandleTagged(response);
        break;
    case ImapResponse::Kind::Continuation:
        HandleContinuation();
        break;
    }
    return !Ended() && MailState != ImapStep::TlsHandshake;
}

void ImapDialogue::ReadCapabilities(std::string_view words)
{
    Capabilities.clear();
    while (!words.empty()) {
        const auto blank = words.find(' ');
        if (blank != 0)
            Capabilities.insert(AsciiUpper(words.substr(0, blank)));
        words.remove_prefix(blank == std::string_view::npos ? words.size() : blank + 1);
    }
}

void ImapDialogue::HandleUntagged(const ImapResponse& response)
{
    const auto& name = response.name;
    if (name == "BYE") {
        if (MailState != ImapStep::LogoutSent) {
            NegativeReply = response.raw;
            Fail(MailFailure::ClosedByServer);
        }
        return;
    }
    if (MailState == ImapStep::Connected) {
        if (name == "OK") {
            AfterGreeting();
        } else if (name == "PREAUTH") {
            // Already logged in: no STARTTLS is possible any more, and no login is needed.
            if (options_.useStartTls) {
                NegativeReply = response.raw;
                Fail(MailFailure::Refused);
            } else {
                Examine();
            }
        }
        return;
    }
    if (name == "CAPABILITY") {
        std::string words;
        for (const auto& value : response.values)
            words += value.text + " ";
        ReadCapabilities(words);
    } else if (name == "OK" && response.code == "UIDVALIDITY" &&
               MailState == ImapStep::ExamineSent) {
        const auto& digits = response.codeArguments;
        UidValidity = 0;
        if (!digits.empty() && digits.size() <= 10 &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            const auto number = std::stoull(digits);
            if (number <= std::numeric_limits<std::uint32_t>::max())
                UidValidity = static_cast<std::uint32_t>(number);
        }
    } else if ((name == "EXISTS" || name == "RECENT") && response.number) {
        if (name == "EXISTS")
            Exists = *response.number;
        if (MailState == ImapStep::Idling && options_.mailboxChanged)
            options_.mailboxChanged(name, *response.number);
    } else if (name == "SEARCH" && MailState == ImapStep::SearchSent) {
        for (const auto& value : response.values) {
            const auto uid = Uid(value);
            if (uid == 0) {
                Detail = "a search result that is no UID";
                Fail(MailFailure::MalformedReply);
                return;
            }
            unseen_.insert(uid);
        }
    } else if (name == "FETCH" && MailState == ImapStep::FetchSent) {
        HandleFetch(response);
    }
}

void ImapDialogue::HandleFetch(const ImapResponse& response)
{
    if (response.values.size() != 1 || !response.values[0].IsList())
        return;
    const auto& items = response.values[0].items;
    std::uint32_t uid = 0;
    const ImapValue* header = nullptr;
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        const auto name = AsciiUpper(items[i].text);
        if (name == "UID")
            uid = Uid(items[i + 1]);
        else if (name.starts_with("BODY[HEADER.FIELDS") && items[i + 1].IsNString())
            header = &items[i + 1];
    }
    // Only what was asked for is kept: a server cannot fill the memory with other messages.
    if (uid != 0 && header != nullptr && batch_.count(uid) > 0)
        headers_[uid] = HeaderLineReader::ReadBlock(header->text);
}

void ImapDialogue::HandleTagged(const ImapResponse& response)
{
    if (response.tag != tag_)
        return; // no command of ours: nothing to act on
    pending_.clear();
    if (response.name != "OK") {
        if (MailState == ImapStep::LogoutSent) {
            MailState = ImapStep::Finished; // the poll has what it came for
            transport_->Close();
            return;
        }
        NegativeReply = response.raw;
        Fail(MailFailure::Refused);
        return;
    }
    switch (MailState) {
    case ImapStep::CapabilitySent:
        AfterGreeting();
        break;
    case ImapStep::StartTlsSent:
        MailState = ImapStep::TlsHandshake;
        transport_->StartTls();
        break;
    case ImapStep::LoginSent:
        Examine();
        break;
    case ImapStep::ExamineSent:
        Search();
        break;
    case ImapStep::SearchSent:
        AfterSearch();
        break;
    case ImapStep::FetchSent:
        FetchNextBatch();
        break;
    case ImapStep::Idling:
        Logout();
        break;
    case ImapStep::LogoutSent:
        MailState = ImapStep::Finished;
        transport_->Close();
        break;
    default:
        break;
    }
}

void ImapDialogue::HandleContinuation()
{
    if (!pending_.empty()) {
        transport_->Send(pending_.front());
        pending_.pop_front();
    } else if (MailState == ImapStep::LoginSent) {
        // A challenge after the credentials went out: cancelled, the server then refuses.
        log_("IMAP OUT: *");
        transport_->Send("*\r\n");
    } else if (MailState == ImapStep::Idling && !idleAccepted_ && !doneSent_) {
        idleAccepted_ = true;
        if (doneWanted_)
            Done();
    }
}

void ImapDialogue::SendCommand(ImapStep step, const std::vector<std::string>& pieces,
                               const std::string& logged)
{
    tag_ = "a" + std::to_string(++tagNumber_);
    log_("IMAP OUT: " + tag_ + " " + logged);
    // With LITERAL+ a literal needs no continuation request: the command goes out whole.
    const bool literalPlus = Has("LITERAL+");
    std::vector<std::string> segments{tag_ + " "};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i % 2 == 0) {
            segments.back() += pieces[i];
            continue;
        }
        segments.back() +=
            "{" + std::to_string(pieces[i].size()) + (literalPlus ? "+" : "") + "}\r\n";
        if (literalPlus)
            segments.back() += pieces[i];
        else
            segments.push_back(pieces[i]);
    }
    segments.back() += "\r\n";
    MailState = step;
    transport_->Send(segments.front());
    pending_.assign(segments.begin() + 1, segments.end());
}

void ImapDialogue::AfterGreeting()
{
    if (options_.useStartTls && !tlsDone_) {
        SendCommand(ImapStep::StartTlsSent, {"STARTTLS"}, "STARTTLS");
        return;
    }
    if (Capabilities.empty() && MailState != ImapStep::CapabilitySent) {
        SendCommand(ImapStep::CapabilitySent, {"CAPABILITY"}, "CAPABILITY");
        return;
    }
    Login();
}

void ImapDialogue::TlsEstablished()
{
    if (MailState != ImapStep::TlsHandshake)
        return;
    tlsDone_ = true;
    parser_.Reset();
    // What the server announced before the handshake is not to be trusted (RFC 3501 6.2.1).
    Capabilities.clear();
    SendCommand(ImapStep::CapabilitySent, {"CAPABILITY"}, "CAPABILITY");
}

void ImapDialogue::Login()
{
    if (!Has("LOGINDISABLED")) {
        std::vector<std::string> pieces{"LOGIN "};
        AddAstring(pieces, user_);
        pieces.back() += ' ';
        AddAstring(pieces, password_);
        SendCommand(ImapStep::LoginSent, pieces, "LOGIN " + user_ + " ********");
        return;
    }
    if (!Has("AUTH=PLAIN")) {
        MailState = ImapStep::LoginSent;
        Detail = "the server allows no login here (LOGINDISABLED) and offers no AUTH=PLAIN";
        log_("IMAP error: " + Detail);
        Fail(MailFailure::Refused);
        return;
    }
    SendCommand(ImapStep::LoginSent, {"AUTHENTICATE PLAIN"}, "AUTHENTICATE PLAIN");
    pending_.push_back(Base64(std::string(1, '\0') + user_ + '\0' + password_) + "\r\n");
}

void ImapDialogue::Examine()
{
    std::vector<std::string> pieces{"EXAMINE "};
    AddAstring(pieces, folder_);
    SendCommand(ImapStep::ExamineSent, pieces, "EXAMINE " + folder_);
}

void ImapDialogue::Search()
{
    unseen_.clear();
    SendCommand(ImapStep::SearchSent, {"UID SEARCH UNSEEN"}, "UID SEARCH UNSEEN");
}

void ImapDialogue::AfterSearch()
{
    UnseenUids.assign(unseen_.begin(), unseen_.end());
    unseen_.clear();
    headerUids_.clear();
    toFetch_.clear();
    if (options_.fetchHeaders) {
        const auto first = UnseenUids.size() > static_cast<std::size_t>(kMaxHeaderRecords)
                               ? UnseenUids.end() - kMaxHeaderRecords
                               : UnseenUids.begin();
        headerUids_.assign(first, UnseenUids.end());
    }
    for (const auto uid : headerUids_) {
        const TMailMessage* cached = options_.cache != nullptr && UidValidity != 0
                                         ? options_.cache->Find(CacheId(UidValidity, uid))
                                         : nullptr;
        if (cached != nullptr)
            headers_[uid] = *cached;
        else
            toFetch_.push_back(uid);
    }
    fetched_ = 0;
    FetchNextBatch();
}

void ImapDialogue::FetchNextBatch()
{
    if (fetched_ >= toFetch_.size()) {
        AfterFetch();
        return;
    }
    const auto count = std::min(kFetchBatch, toFetch_.size() - fetched_);
    const std::vector<std::uint32_t> uids(toFetch_.begin() + static_cast<std::ptrdiff_t>(fetched_),
                                          toFetch_.begin() +
                                              static_cast<std::ptrdiff_t>(fetched_ + count));
    fetched_ += count;
    batch_ = {uids.begin(), uids.end()};
    const auto command =
        "UID FETCH " + UidSet(uids) + " (FLAGS BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE)])";
    SendCommand(ImapStep::FetchSent, {command}, command);
}

void ImapDialogue::AfterFetch()
{
    batch_.clear();
    for (const auto uid : headerUids_) {
        const auto found = headers_.find(uid);
        messages_->emplace_back(std::to_string(uid),
                                found != headers_.end() ? found->second : TMailMessage{});
        recordIds_.push_back(UidValidity != 0 ? CacheId(UidValidity, uid) : std::string());
    }
    headers_.clear();
    if (options_.idle && Has("IDLE")) {
        SendCommand(ImapStep::Idling, {"IDLE"}, "IDLE");
        return;
    }
    Logout();
}

void ImapDialogue::Done()
{
    if (MailState != ImapStep::Idling || Ended() || doneSent_)
        return;
    if (!idleAccepted_) {
        doneWanted_ = true; // DONE may only follow the server's continuation request
        return;
    }
    doneSent_ = true;
    log_("IMAP OUT: DONE");
    transport_->Send("DONE\r\n");
}

void ImapDialogue::Logout()
{
    SendCommand(ImapStep::LogoutSent, {"LOGOUT"}, "LOGOUT");
}

void ImapDialogue::ConnectionClosed()
{
    if (!Ended())
        Fail(MailFailure::ClosedByServer);
}

void ImapDialogue::Fail(MailFailure cause)
{
    if (MailFailed)
        return;
    MailFailed = true;
    Failure = cause;
    pending_.clear();
    transport_->Close();
}

} // namespace vorlane
