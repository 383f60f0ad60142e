#pragma once

#include "mail/MailServer.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

class ImapWatch;
class PasswordStore;

// One ImapWatch for every IMAP entry, made anew whenever the entries change, paused while the
// connection gate holds work back.
class ImapWatches : public QObject
{
    Q_OBJECT

public:
    ImapWatches(PasswordStore* keyring, std::function<void(const std::string&)> log,
                QObject* parent = nullptr);
    ~ImapWatches() override;

    // Watches exactly the IMAP entries among these (all closed first); running unless paused.
    void Watch(const std::vector<TMailServer>& entries);
    // Closes every connection (the gate holds work back), and opens them again. The watches
    // begin paused: the first tick resumes them when the gate lets work through.
    void Pause();
    void Resume();
    bool Paused() const { return paused_; }
    // The watch of the named entry is waiting in IDLE.
    bool Idling(const std::string& entryName) const;

signals:
    // The server of this entry reported a new message.
    void newsArrived(const std::string& entryName);

private:
    std::optional<std::string> PasswordOf(const TMailServer& entry) const;

    PasswordStore* keyring_;
    std::function<void(const std::string&)> log_;
    std::vector<std::unique_ptr<ImapWatch>> watches_;
    // Until the first tick says whether the connection gate lets work through.
    bool paused_ = true;
};

} // namespace vorlane
