#pragma once

#include "mail/MailMessage.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

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

// The client side of one POP3 dialogue, driven line by line: USER, PASS, STAT, optionally
// TOP n 0 for every waiting message, QUIT. It never downloads, deletes or marks a message.
// MailState: 0 not started, 1 resolving, 2 connecting, 3 connected (the socket sets these),
// 4 USER sent, 5 PASS sent, 6 STAT sent, 7 receiving headers, 8 QUIT sent, 9 finished; with
// STLS also 10 STLS sent and 11 TLS handshake, between the greeting and USER.
class Pop3Dialogue
{
public:
    // A line, or text without a line end, longer than this ends the dialogue as a failure:
    // no real reply comes near it, and the buffer must not grow without bound.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;

    Pop3Dialogue(Pop3Transport& transport, std::function<void(const std::string&)> log);

    // Clears the state of the previous dialogue for a new one with these credentials. The
    // header records go into messages, which the caller owns and empties.
    // With useStls the greeting is answered with STLS, and USER follows only once the
    // connection is encrypted: a password never goes out in plain text.
    void Start(const std::string& user, const std::string& password, bool displayHeaders,
               MailMessageList& messages, bool useStls = false);
    // The handshake after STLS succeeded: the login goes on.
    void TlsEstablished();

    // All text just received: complete lines (ended by CR, an LF after it dropped) are handed to
    // HandleMailLine in order; an incomplete tail waits for the next read.
    void SplitReceivedLines(std::string_view text);
    void HandleMailLine(const std::string& line);

    int MailState = 0;
    bool MailFailed = false;
    bool MailBusy = false;
    std::string ReceiveBuffer;
    std::string MailUser;
    std::string MailPassword;
    int StatCount = 0;
    int StatSize = 0;
    int TopIndex = 0;

private:
    void Send(const std::string& logged, const std::string& command);
    void HandleHeaderLine(const std::string& line);
    void HandleStatReply(const std::string& line);
    void AddHeaderRecord();

    Pop3Transport& transport_;
    std::function<void(const std::string&)> log_;
    bool displayHeaders_ = false;
    bool useStls_ = false;
    bool lastReadEndedWithCr_ = false;
    MailMessageList* messages_ = nullptr;
};

} // namespace vorlane
