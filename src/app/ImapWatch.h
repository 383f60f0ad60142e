#pragma once

#include "mail/MailServer.h"
#include "mail/imap/ImapDialogue.h"
#include "net/ClientSocket.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace vorlane {

// Keeps one connection to an IMAP entry's folder open between its polls, waiting in IDLE
// (RFC 2177), and tells as soon as the server reports a new message (EXISTS or RECENT): the
// poll that follows announces it. The connection is renewed before the 29 minutes after which
// a server may drop it; one that drops is opened again after a pause that doubles with every
// failure in a row, up to a bound. A server without IDLE is left alone: the entry's interval
// applies. Read-only like every poll: the folder is examined, never selected.
class ImapWatch : public QObject, private ClientSocketHandler, private ImapTransport
{
    Q_OBJECT

public:
    static constexpr std::chrono::minutes kRenewal{25};
    // How long the server may take to end IDLE after DONE.
    static constexpr std::chrono::seconds kDoneAnswer{60};
    static constexpr std::chrono::seconds kFirstRetry{5};
    static constexpr std::chrono::seconds kLongestRetry{15 * 60};

    // The pause before the next attempt after this many failures in a row.
    static std::chrono::seconds RetryPause(int failures);

    // password: the entry's password for each connection; none when it cannot be had (then
    // the watch waits as after a failure). port: the port when the entry names none.
    ImapWatch(TMailServer entry, int port, std::function<std::optional<std::string>()> password,
              std::function<void(const std::string&)> log, QObject* parent = nullptr);
    ~ImapWatch() override;

    const std::string& EntryName() const { return entry_.Name; }
    // Other times than kRenewal and kDoneAnswer (tests).
    void SetTimings(std::chrono::milliseconds renewal, std::chrono::milliseconds doneAnswer);
    // Opens the connection (again); nothing while it is open.
    void Start();
    // Closes the connection and forgets any planned attempt.
    void Stop();
    bool Running() const { return running_; }
    // Waiting in IDLE for news of the folder.
    bool Idling() const { return dialogue_.Idling(); }

signals:
    // The server reported a new message in the folder.
    void newsArrived();
    // The server announced no IDLE: this watch has stopped for good.
    void idleUnavailable();

private:
    void ClientSocketLookup() override {}
    void ClientSocketConnecting() override {}
    void ClientSocketConnect() override;
    void ClientSocketRead() override;
    void ClientSocketError(int& errorCode) override;
    void ClientSocketDisconnect() override;
    void ClientSocketEncrypted() override;

    void Send(const std::string& text) override;
    void Close() override;
    void StartTls() override;

    void Log(const std::string& text) const;
    // What comes after the dialogue ended: a renewal, a pause before the next attempt, or the
    // end of the watch for a server without IDLE.
    void AfterDialogue();
    void Renew();

    TMailServer entry_;
    int port_;
    std::function<std::optional<std::string>()> password_;
    std::function<void(const std::string&)> log_;
    ClientSocket socket_;
    ImapDialogue dialogue_;
    MailMessageList messages_;
    QTimer renewal_;
    std::chrono::milliseconds renewalTime_ = kRenewal;
    std::chrono::milliseconds doneAnswerTime_ = kDoneAnswer;
    QTimer retry_;
    int failures_ = 0;
    bool running_ = false;
    bool renewing_ = false;
    bool ended_ = false; // the connection's end has been dealt with
    bool idled_ = false;
};

} // namespace vorlane
