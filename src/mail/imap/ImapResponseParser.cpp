#include "mail/imap/ImapResponseParser.h"

#include "util/AsciiCase.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace vorlane {

namespace {

using Error = ImapResponseParser::Error;

// A read is taken in pieces of this size, so that one huge read does not fill the buffer.
constexpr std::size_t kFeedPiece = 64 * 1024;

struct Failure
{
    Error error;
    std::string text;
};

bool IsStatusName(std::string_view word)
{
    const auto upper = AsciiUpper(word);
    return upper == "OK" || upper == "NO" || upper == "BAD" || upper == "BYE" || upper == "PREAUTH";
}

// Only the data of untagged data responses may hold literals; status texts and continuation
// requests end at their line end, whatever they look like.
bool AllowsLiterals(std::string_view firstLine)
{
    if (!firstLine.starts_with("* "))
        return false;
    auto word = firstLine.substr(2);
    word = word.substr(0, word.find(' '));
    return !IsStatusName(word);
}

// The size a line announces with a literal ({n} or {n+}) at its end.
std::optional<std::uint64_t> LiteralAtEnd(std::string_view line, bool& tooLarge)
{
    tooLarge = false;
    if (line.empty() || line.back() != '}')
        return std::nullopt;
    const auto open = line.rfind('{');
    if (open == std::string_view::npos)
        return std::nullopt;
    auto digits = line.substr(open + 1, line.size() - open - 2);
    if (!digits.empty() && digits.back() == '+')
        digits.remove_suffix(1);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t size = 0;
    for (const char c : digits) {
        size = size * 10 + static_cast<std::uint64_t>(c - '0');
        if (size > ImapResponseParser::kMaxLiteralLength) {
            tooLarge = true;
            return std::nullopt;
        }
    }
    return size;
}

bool IsAtomChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f)
        return false;
    return c != '(' && c != ')' && c != '{' && c != '"';
}

// Reads one complete response, its line end included.
class Reader
{
public:
    explicit Reader(std::string_view text) : text_(text) {}

    ImapResponse Read()
    {
        ImapResponse response;
        response.raw = std::string(text_.substr(0, LineEndAt(text_.size())));
        if (Peek() == '+') {
            ++at_;
            response.kind = ImapResponse::Kind::Continuation;
            if (Peek() == ' ')
                ++at_;
            response.text = RestOfLine();
            ExpectLineEnd();
            return response;
        }
        const auto tag = Word();
        if (tag.empty())
            throw Failure{Error::Malformed, "a response without a tag"};
        response.kind = tag == "*" ? ImapResponse::Kind::Untagged : ImapResponse::Kind::Tagged;
        if (response.kind == ImapResponse::Kind::Tagged)
            response.tag = std::string(tag);
        ExpectSpace();
        if (response.kind == ImapResponse::Kind::Untagged && IsDigit(Peek())) {
            const auto number = Number(Word());
            if (number > std::numeric_limits<std::uint32_t>::max())
                throw Failure{Error::NumberTooLarge, "a message number out of range"};
            response.number = static_cast<std::uint32_t>(number);
            ExpectSpace();
        }
        response.name = AsciiUpper(Word());
        if (response.name.empty())
            throw Failure{Error::Malformed, "a response without a name"};
        if (response.IsStatus()) {
            ReadStatus(response);
        } else if (response.kind == ImapResponse::Kind::Tagged) {
            throw Failure{Error::Malformed, "a tagged response other than OK, NO or BAD"};
        } else {
            while (!AtLineEnd()) {
                ExpectSpace();
                if (AtLineEnd())
                    break; // a blank before the line end, as some servers send after SEARCH
                response.values.push_back(Value(0));
            }
        }
        ExpectLineEnd();
        return response;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    bool AtLineEnd() const { return Peek() == '\r' || Peek() == '\n' || at_ >= text_.size(); }

    // The length of the text without the line end that closes it.
    std::size_t LineEndAt(std::size_t end) const
    {
        if (end > 0 && text_[end - 1] == '\n')
            --end;
        if (end > 0 && text_[end - 1] == '\r')
            --end;
        return end;
    }

    void ExpectSpace()
    {
        if (Peek() != ' ')
            throw Failure{Error::Malformed, "a blank missing"};
        ++at_;
    }

    void ExpectLineEnd()
    {
        if (Peek() == '\r')
            ++at_;
        if (Peek() != '\n' || at_ + 1 != text_.size())
            throw Failure{Error::Malformed, "text after the end of the response"};
        ++at_;
    }

    std::string RestOfLine()
    {
        const auto end = LineEndAt(text_.size());
        const auto rest = text_.substr(at_, end > at_ ? end - at_ : 0);
        at_ += rest.size();
        return std::string(rest);
    }

    std::string_view Word()
    {
        const auto begin = at_;
        while (IsAtomChar(Peek()))
            ++at_;
        return text_.substr(begin, at_ - begin);
    }

    static std::uint64_t Number(std::string_view digits)
    {
        std::uint64_t value = 0;
        for (const char c : digits) {
            if (!IsDigit(c))
                throw Failure{Error::Malformed, "a number with other characters in it"};
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                throw Failure{Error::NumberTooLarge, "a number too large"};
            value = value * 10 + digit;
        }
        return value;
    }

    void ReadStatus(ImapResponse& response)
    {
        if (AtLineEnd())
            return;
        ExpectSpace();
        if (Peek() == '[') {
            const auto close = text_.find(']', at_);
            const auto end = LineEndAt(text_.size());
            if (close == std::string_view::npos || close > end)
                throw Failure{Error::Malformed, "a response code without its closing bracket"};
            const auto code = text_.substr(at_ + 1, close - at_ - 1);
            const auto blank = code.find(' ');
            response.code = AsciiUpper(code.substr(0, blank));
            if (blank != std::string_view::npos)
                response.codeArguments = std::string(code.substr(blank + 1));
            at_ = close + 1;
            if (Peek() == ' ')
                ++at_;
        }
        response.text = RestOfLine();
    }

    ImapValue Value(int depth)
    {
        if (++values_ > ImapResponseParser::kMaxValues)
            throw Failure{Error::TooManyValues, "too many values in one response"};
        switch (Peek()) {
        case '(':
            return List(depth + 1);
        case '"':
            return Quoted();
        case '{':
            return Literal();
        default:
            return Atom();
        }
    }

    ImapValue List(int depth)
    {
        if (depth > ImapResponseParser::kMaxDepth)
            throw Failure{Error::TooDeep, "lists nested too deep"};
        ++at_;
        ImapValue list;
        list.kind = ImapValue::Kind::List;
        while (Peek() != ')') {
            if (!list.items.empty())
                ExpectSpace();
            if (AtLineEnd())
                throw Failure{Error::Malformed, "a list without its closing parenthesis"};
            list.items.push_back(Value(depth));
        }
        ++at_;
        return list;
    }

    ImapValue Quoted()
    {
        ++at_;
        ImapValue string;
        string.kind = ImapValue::Kind::String;
        for (;;) {
            char c = Peek();
            if (c == '\r' || c == '\n' || at_ >= text_.size())
                throw Failure{Error::Malformed, "a quoted string without its closing quote"};
            ++at_;
            if (c == '"')
                return string;
            if (c == '\\') {
                c = Peek();
                if (c != '\\' && c != '"')
                    throw Failure{Error::Malformed, "a quoted string with a bad escape"};
                ++at_;
            }
            string.text.push_back(c);
        }
    }

    ImapValue Literal()
    {
        ++at_;
        const auto begin = at_;
        while (IsDigit(Peek()))
            ++at_;
        const auto size = Number(text_.substr(begin, at_ - begin));
        if (at_ == begin)
            throw Failure{Error::Malformed, "a literal without its size"};
        if (Peek() == '+')
            ++at_;
        if (Peek() != '}')
            throw Failure{Error::Malformed, "a literal without its closing brace"};
        ++at_;
        if (Peek() == '\r')
            ++at_;
        if (Peek() != '\n')
            throw Failure{Error::Malformed, "a literal whose size is not at the line end"};
        ++at_;
        if (size > text_.size() - at_)
            throw Failure{Error::Malformed, "a literal cut short"};
        ImapValue string;
        string.kind = ImapValue::Kind::String;
        string.text = std::string(text_.substr(at_, size));
        at_ += size;
        return string;
    }

    ImapValue Atom()
    {
        const auto begin = at_;
        while (IsAtomChar(Peek())) {
            // A section ("BODY[HEADER.FIELDS (FROM SUBJECT)]") belongs to its atom, blanks and
            // parentheses included.
            if (Peek() == '[') {
                const auto close = text_.find(']', at_);
                const auto end = LineEndAt(text_.size());
                if (close == std::string_view::npos || close > end ||
                    text_.substr(at_, close - at_).find_first_of("\r\n") != std::string_view::npos)
                    throw Failure{Error::Malformed, "a section without its closing bracket"};
                at_ = close;
            }
            ++at_;
        }
        ImapValue atom;
        atom.text = std::string(text_.substr(begin, at_ - begin));
        if (atom.text.empty())
            throw Failure{Error::Malformed, "a value missing"};
        if (std::all_of(atom.text.begin(), atom.text.end(), IsDigit)) {
            atom.kind = ImapValue::Kind::Number;
            atom.number = Number(atom.text);
        } else if (EqualsIgnoringCase(atom.text, "NIL")) {
            atom.kind = ImapValue::Kind::Nil;
            atom.text.clear();
        } else {
            atom.kind = ImapValue::Kind::Atom;
        }
        return atom;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t values_ = 0;
};

} // namespace

void ImapResponseParser::Feed(std::string_view bytes, const Handler& handler)
{
    while (!bytes.empty() && error_ == Error::None) {
        const auto piece = bytes.substr(0, kFeedPiece);
        bytes.remove_prefix(piece.size());
        buffer_.append(piece);
        if (!Frame(handler)) {
            buffer_.clear();
            start_ = lineStart_ = scanFrom_ = 0;
            return;
        }
    }
}

bool ImapResponseParser::Frame(const Handler& handler)
{
    bool goOn = true;
    while (goOn && error_ == Error::None && lineStart_ <= buffer_.size()) {
        const auto lineEnd = buffer_.find('\n', scanFrom_);
        if (lineEnd == std::string::npos) {
            if (buffer_.size() - lineStart_ > kMaxLineLength)
                Fail(Error::LineTooLong, "a line longer than the limit");
            scanFrom_ = buffer_.size();
            break;
        }
        if (lineEnd - lineStart_ > kMaxLineLength) {
            Fail(Error::LineTooLong, "a line longer than the limit");
            break;
        }
        auto line = std::string_view(buffer_).substr(lineStart_, lineEnd - lineStart_);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (lineStart_ == start_)
            literalsAllowed_ = AllowsLiterals(line);
        bool tooLarge = false;
        const auto literal = literalsAllowed_ ? LiteralAtEnd(line, tooLarge) : std::nullopt;
        if (tooLarge) {
            Fail(Error::LiteralTooLong, "a literal larger than the limit");
            break;
        }
        if (literal) {
            lineStart_ = scanFrom_ = lineEnd + 1 + *literal;
            if (lineStart_ - start_ > kMaxResponseLength)
                Fail(Error::ResponseTooLong, "a response larger than the limit");
            continue;
        }
        const auto text = std::string_view(buffer_).substr(start_, lineEnd + 1 - start_);
        start_ = lineStart_ = scanFrom_ = lineEnd + 1;
        try {
            goOn = handler(Reader(text).Read());
        } catch (const Failure& failure) {
            Fail(failure.error, failure.error == Error::Malformed
                                    ? "a malformed response: " + failure.text
                                    : failure.text);
        }
    }
    // Only one response stays: what went before it is dropped.
    if (error_ != Error::None) {
        buffer_.clear();
        start_ = lineStart_ = scanFrom_ = 0;
    } else if (start_ > 0) {
        buffer_.erase(0, start_);
        lineStart_ -= start_;
        scanFrom_ -= start_;
        start_ = 0;
    }
    return goOn;
}

void ImapResponseParser::Fail(Error error, std::string text)
{
    error_ = error;
    errorText_ = std::move(text);
}

void ImapResponseParser::Reset()
{
    *this = ImapResponseParser();
}

} // namespace vorlane
