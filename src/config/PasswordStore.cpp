#include "config/PasswordStore.h"

namespace vorlane {

PasswordStore::~PasswordStore() = default;

bool PasswordStore::Answers(std::chrono::milliseconds timeLimit)
{
    // A user name no entry can have: it holds a line break, which the dialog cannot take.
    const auto status = Read({"\n", "vorlane.invalid"}, timeLimit).Status;
    return status == KeyringStatus::NotFound || status == KeyringStatus::Done;
}

KeyringResult NoKeyring::Read(const PasswordKey&, std::chrono::milliseconds)
{
    return {};
}

KeyringResult NoKeyring::Write(const PasswordKey&, const std::string&, std::chrono::milliseconds)
{
    return {};
}

KeyringResult NoKeyring::Remove(const PasswordKey&, std::chrono::milliseconds)
{
    return {};
}

std::string KeyringFailureSentence(const KeyringResult& result)
{
    std::string sentence;
    switch (result.Status) {
    case KeyringStatus::Done:
        return {};
    case KeyringStatus::NotFound:
        sentence = "The keyring holds no password for this entry. Enter the password again in "
                   "the settings.";
        break;
    case KeyringStatus::Refused:
        sentence = "The keyring that keeps the password of this entry stayed locked. Check again "
                   "and unlock it when the desktop asks.";
        break;
    case KeyringStatus::Unavailable:
        sentence = "The password of this entry is kept in the desktop's keyring, and no keyring "
                   "answers now.";
        break;
    case KeyringStatus::TimedOut:
        sentence = "The keyring did not give the password of this entry in time.";
        break;
    }
    if (!result.Detail.empty())
        sentence += "\r\nDetailed error message: " + result.Detail;
    return sentence;
}

} // namespace vorlane
