#pragma once

#include "mail/imap/ImapResponse.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vorlane {

// Turns the bytes an IMAP server sends (RFC 3501), cut into reads anywhere (inside a literal
// too), into complete responses, in order. Bounded whatever arrives: a line, a literal, a
// response, the nesting of lists, the number of values and every number have a limit; crossing
// one, or any malformed response, is an error after which nothing more is read. The buffer
// never holds more than one response and one piece of a read.
class ImapResponseParser
{
public:
    // A search result of a big mailbox fits in one line; a header literal is far smaller.
    static constexpr std::size_t kMaxLineLength = 1024 * 1024;
    static constexpr std::size_t kMaxLiteralLength = 1024 * 1024;
    static constexpr std::size_t kMaxResponseLength = 2 * 1024 * 1024;
    static constexpr int kMaxDepth = 16;
    static constexpr std::size_t kMaxValues = 262144;

    enum class Error
    {
        None,
        LineTooLong,
        LiteralTooLong,
        ResponseTooLong,
        TooDeep,
        TooManyValues,
        NumberTooLarge,
        Malformed,
    };

    // Gets each complete response; returns false to stop reading: the rest of this read and
    // anything buffered are dropped (after the server's yes to STARTTLS nothing in plain text
    // may be trusted).
    using Handler = std::function<bool(ImapResponse&&)>;

    // Reads the bytes, handing over every response they complete. Once an error happened, does
    // nothing.
    void Feed(std::string_view bytes, const Handler& handler);
    // Forgets everything, the error included.
    void Reset();

    Error LastError() const { return error_; }
    // In plain words, for the log and the report; empty without an error.
    const std::string& ErrorText() const { return errorText_; }
    // Bytes waiting for the rest of their response.
    std::size_t Buffered() const { return buffer_.size() - start_; }

private:
    // Finds the responses the buffer completes; false when the handler stopped reading.
    bool Frame(const Handler& handler);
    void Fail(Error error, std::string text);

    std::string buffer_;
    std::size_t start_ = 0;     // where the current response begins
    std::size_t lineStart_ = 0; // where its current line begins (after a literal, its end)
    std::size_t scanFrom_ = 0;  // where to look on for the line end
    bool literalsAllowed_ = false;
    Error error_ = Error::None;
    std::string errorText_;
};

} // namespace vorlane
