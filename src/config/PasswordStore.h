#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vorlane {

// What an entry's password is kept under in the desktop's keyring: its user name and host.
struct PasswordKey
{
    std::string UserName;
    std::string Host;

    bool operator==(const PasswordKey&) const = default;
};

// How a keyring request ended.
enum class KeyringStatus
{
    Done,        // stored, found or removed
    NotFound,    // nothing is kept under that key
    Refused,     // the keyring stayed locked (the user declined to unlock it) or denied access
    Unavailable, // no keyring answers: no Secret Service on the session bus
    TimedOut,    // no answer within the time given
};

struct KeyringResult
{
    KeyringStatus Status = KeyringStatus::Unavailable;
    std::string Password; // what Read found
    std::string Detail;   // the keyring's own words when it failed
};

// How long a request made from a dialog may take: unlocking the keyring asks the user.
inline constexpr std::chrono::milliseconds kInteractiveKeyringLimit{120000};

// The desktop's keyring, where entry passwords live when one answers. Each request waits for
// its answer at most timeLimit (a locked keyring first asks the user, through the desktop's own
// prompt, to unlock it). Without a keyring the settings file keeps the scrambled password.
class PasswordStore
{
public:
    virtual ~PasswordStore();

    virtual KeyringResult Read(const PasswordKey& key, std::chrono::milliseconds timeLimit) = 0;
    virtual KeyringResult Write(const PasswordKey& key, const std::string& password,
                                std::chrono::milliseconds timeLimit) = 0;
    virtual KeyringResult Remove(const PasswordKey& key, std::chrono::milliseconds timeLimit) = 0;

    // Whether a keyring answers at all: asked for a key that is never written, it tells that it
    // holds nothing there. Never unlocks anything.
    bool Answers(std::chrono::milliseconds timeLimit);
};

// No keyring at all: every request is Unavailable, so passwords stay in the file.
class NoKeyring : public PasswordStore
{
public:
    KeyringResult Read(const PasswordKey& key, std::chrono::milliseconds timeLimit) override;
    KeyringResult Write(const PasswordKey& key, const std::string& password,
                        std::chrono::milliseconds timeLimit) override;
    KeyringResult Remove(const PasswordKey& key, std::chrono::milliseconds timeLimit) override;
};

// The sentence of a poll's report when the password could not be had from the keyring, and what
// its time-out says.
std::string KeyringFailureSentence(const KeyringResult& result);
inline constexpr std::string_view kKeyringTimeOutPhrase = " reading the password from the keyring.";

} // namespace vorlane
