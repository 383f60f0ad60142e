#pragma once

#include "config/PasswordStore.h"

#include <QString>

namespace vorlane {

// Entry passwords in the desktop's Secret Service (GNOME Keyring, KeePassXC) or KWallet, through
// QtKeychain, under the service "Vorlane" and the key "user@host". QtKeychain answers
// asynchronously: each request waits for its job on a nested event loop, at most the time given,
// so a keyring that answers slowly cannot hold a poll beyond its time-out.
class KeychainPasswordStore : public PasswordStore
{
public:
    explicit KeychainPasswordStore(QString service = QStringLiteral("Vorlane"));

    KeyringResult Read(const PasswordKey& key, std::chrono::milliseconds timeLimit) override;
    KeyringResult Write(const PasswordKey& key, const std::string& password,
                        std::chrono::milliseconds timeLimit) override;
    KeyringResult Remove(const PasswordKey& key, std::chrono::milliseconds timeLimit) override;

    // The keyring's key of an entry's password.
    static QString KeyOf(const PasswordKey& key);

private:
    QString service_;
};

} // namespace vorlane
