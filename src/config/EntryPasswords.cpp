#include "config/EntryPasswords.h"

#include "config/PasswordScrambler.h"
#include "config/RegistryError.h"
#include "config/RegistryValue.h"
#include "config/SettingsStore.h"
#include "config/SettingsTable.h"

#include <algorithm>

namespace vorlane {

namespace {

PasswordKey KeyOf(const MailServerRow& row)
{
    return {row.UserName, row.Server};
}

} // namespace

EntryPasswords::EntryPasswords(PasswordStore* keyring, const std::vector<MailServerRow>& rows)
    : keyring_(keyring), rows_(rows), inKeyring_(rows.size(), false)
{
    // A kept password that stays under its key needs nothing from the keyring, whether it
    // answers now or not: a poll tells when it cannot be had.
    for (std::size_t i = 0; i < rows_.size(); ++i)
        inKeyring_[i] = rows_[i].KeptUnder && *rows_[i].KeptUnder == KeyOf(rows_[i]);
}

void EntryPasswords::StoreInKeyring()
{
    if (keyring_ == nullptr) {
        for (const auto& row : rows_)
            if (row.KeptUnder && *row.KeptUnder != KeyOf(row))
                throw RegistryError("The password of '" + row.Name +
                                    "' is kept in the keyring under its old user name and "
                                    "server. Type it again.");
        return;
    }
    bool answers = true;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& row = rows_[i];
        if (inKeyring_[i])
            continue;
        std::string password = row.Password;
        if (row.KeptUnder) {
            // The user name or the host changed: the password moves to the new key.
            const auto kept = keyring_->Read(*row.KeptUnder, kInteractiveKeyringLimit);
            if (kept.Status != KeyringStatus::Done)
                throw RegistryError("The password of '" + row.Name +
                                    "' could not be taken from the keyring to its new user name "
                                    "and server. Type it again.\r\n" +
                                    KeyringFailureSentence(kept));
            password = kept.Password;
        }
        if (password.empty() || !answers)
            continue;
        const auto written = keyring_->Write(KeyOf(row), password, kInteractiveKeyringLimit);
        if (written.Status == KeyringStatus::Done) {
            inKeyring_[i] = true;
        } else if (written.Status == KeyringStatus::Unavailable) {
            answers = false; // the file keeps it scrambled, and the ones after it too
        } else {
            throw RegistryError("The keyring did not store the password of '" + row.Name +
                                "'; nothing was stored.\r\n" + KeyringFailureSentence(written));
        }
        if (row.KeptUnder && inKeyring_[i])
            replaced_.push_back(*row.KeptUnder);
    }
}

void EntryPasswords::WriteTo(RegistryKey& entry, std::size_t row) const
{
    if (inKeyring_[row])
        entry.SetValue(kPasswordInKeyringValue, BooleanValue(true));
    else
        entry.SetValue("Password", StringValue(ScramblePassword(rows_[row].Password)));
}

void EntryPasswords::NoteReplaced(const RegistryKey& entry)
{
    const auto stored = StoredEntry::Read(entry, {});
    if (stored.PasswordInKeyring && !stored.Password)
        replaced_.push_back({stored.UserName.value_or(""), stored.Server.value_or("")});
}

void EntryPasswords::RemoveUnused()
{
    if (keyring_ == nullptr)
        return;
    for (auto key = replaced_.begin(); key != replaced_.end(); ++key) {
        bool used = std::find(replaced_.begin(), key, *key) != key;
        for (std::size_t i = 0; i < rows_.size() && !used; ++i)
            used = inKeyring_[i] && KeyOf(rows_[i]) == *key;
        if (!used)
            keyring_->Remove(*key, kInteractiveKeyringLimit); // what stays is only untidy
    }
}

} // namespace vorlane
