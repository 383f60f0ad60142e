#include "app/ImapWatch.h"

#include "app/EntrySocket.h"
#include "net/SocketErrors.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace vorlane {

namespace {

// What one read hands to the dialogue at a time.
constexpr qint64 kReadSlice = 64 * 1024;

} // namespace

std::chrono::seconds ImapWatch::RetryPause(int failures)
{
    auto pause = kFirstRetry;
    for (int i = 1; i < failures && pause < kLongestRetry; ++i)
        pause *= 2;
    return std::min(pause, kLongestRetry);
}

ImapWatch::ImapWatch(TMailServer entry, int port,
                     std::function<std::optional<std::string>()> password,
                     std::function<void(const std::string&)> log, QObject* parent)
    : QObject(parent), entry_(std::move(entry)), port_(port), password_(std::move(password)),
      log_(std::move(log)), dialogue_(*this, [this](const std::string& text) { Log(text); })
{
    socket_.SetHandler(*this);
    renewal_.setSingleShot(true);
    connect(&renewal_, &QTimer::timeout, this, &ImapWatch::Renew);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &ImapWatch::Start);
}

void ImapWatch::SetTimings(std::chrono::milliseconds renewal, std::chrono::milliseconds doneAnswer)
{
    renewalTime_ = renewal;
    doneAnswerTime_ = doneAnswer;
}

ImapWatch::~ImapWatch()
{
    Stop();
}

void ImapWatch::Start()
{
    if (socket_.Active())
        return;
    running_ = true;
    ended_ = false;
    idled_ = false;
    renewing_ = false;
    retry_.stop();
    const auto password = password_();
    if (!password) {
        Log("IMAP watch [" + entry_.Name + "]: no password for the connection.");
        AfterDialogue();
        return;
    }
    AimSocketAtEntry(socket_, entry_, port_);
    messages_.clear();
    ImapOptions options;
    options.useStartTls = entry_.Security == kSecuritySTLS;
    options.fetchHeaders = false; // the poll that follows news fetches what it shows
    options.idle = true;
    options.mailboxChanged = [this](const std::string&, std::uint32_t) {
        // From the event loop, never from inside the dialogue's reading.
        QTimer::singleShot(0, this, [this] { emit newsArrived(); });
    };
    dialogue_.Start(entry_.UserName, *password, entry_.Folder, messages_, options);
    try {
        socket_.Open();
    } catch (const std::exception& failure) {
        Log("IMAP watch [" + entry_.Name + "]: " + failure.what());
        dialogue_.Fail(MailFailure::CannotOpen);
        AfterDialogue();
    }
}

void ImapWatch::Stop()
{
    running_ = false;
    retry_.stop();
    renewal_.stop();
    socket_.Close();
}

void ImapWatch::Renew()
{
    if (renewing_) {
        // A server that never ends IDLE: the connection goes, and is opened again later.
        Log("IMAP watch [" + entry_.Name +
            "]: the server did not end IDLE; the connection is "
            "closed.");
        dialogue_.Fail(MailFailure::Refused);
        AfterDialogue();
        return;
    }
    // Ended with DONE and LOGOUT, and opened again at once.
    renewing_ = true;
    dialogue_.Done();
    renewal_.start(doneAnswerTime_);
}

void ImapWatch::AfterDialogue()
{
    if (std::exchange(ended_, true))
        return; // an error and the disconnect after it end one connection
    renewal_.stop();
    socket_.Close();
    if (!running_)
        return;
    if (renewing_ && !dialogue_.MailFailed) {
        QTimer::singleShot(0, this, &ImapWatch::Start);
        return;
    }
    if (!dialogue_.MailFailed && dialogue_.MailState == ImapStep::Finished && !idled_) {
        Log("IMAP watch [" + entry_.Name +
            "]: the server does not offer IDLE; new mail is found at the entry's interval.");
        running_ = false;
        emit idleUnavailable();
        return;
    }
    const auto pause = RetryPause(++failures_);
    Log("IMAP watch [" + entry_.Name + "]: the connection ended; trying again in " +
        std::to_string(pause.count()) + " s.");
    retry_.start(pause);
}

void ImapWatch::ClientSocketConnect()
{
    dialogue_.MailState = ImapStep::Connected;
}

void ImapWatch::ClientSocketRead()
{
    while (socket_.Active() && socket_.ReceiveLength() > 0 && !dialogue_.Ended())
        dialogue_.SplitReceived(socket_.ReceiveText(kReadSlice));
    if (dialogue_.Idling() && !idled_) {
        idled_ = true;
        failures_ = 0;
        renewal_.start(renewalTime_);
        Log("IMAP watch [" + entry_.Name + "]: waiting for news of " + entry_.Folder + ".");
    }
    if (dialogue_.Ended())
        AfterDialogue();
}

void ImapWatch::ClientSocketError(int& errorCode)
{
    // Told in the log and tried again later; never a report of its own.
    Log("IMAP watch [" + entry_.Name + "]: " + SocketErrorLogLine(errorCode));
    errorCode = 0;
    if (!dialogue_.Ended())
        dialogue_.Fail(MailFailure::Refused);
    AfterDialogue();
}

void ImapWatch::ClientSocketDisconnect()
{
    if (!dialogue_.Ended())
        dialogue_.ConnectionClosed();
    AfterDialogue();
}

void ImapWatch::ClientSocketEncrypted()
{
    dialogue_.TlsEstablished();
}

void ImapWatch::Send(const std::string& text)
{
    socket_.SendText(text);
}

void ImapWatch::Close()
{
    socket_.Close();
}

void ImapWatch::StartTls()
{
    socket_.StartTls();
}

void ImapWatch::Log(const std::string& text) const
{
    if (log_)
        log_(text);
}

} // namespace vorlane
