#pragma once

#include "config/PasswordStore.h"
#include "config/RegistryKey.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vorlane {

struct MailServerRow;

// Where each row's password goes when the settings are stored: into the keyring when one
// answers, with only PasswordInKeyring left in the file; else, as always, scrambled into the file.
// The keyring is written before the file, and cleared of passwords that no entry keeps any more
// only after the file is stored, so that no failure in between loses a password.
class EntryPasswords
{
public:
    // Without a keyring, every password stays in the file and kept ones stay where they are.
    EntryPasswords(PasswordStore* keyring, const std::vector<MailServerRow>& rows);

    // Puts the rows' passwords into the keyring. Throws RegistryError, having stored nothing in
    // the file yet, when the keyring stays locked or a kept password cannot be taken along.
    void StoreInKeyring();
    // Writes the row's password value into its entry subkey.
    void WriteTo(RegistryKey& entry, std::size_t row) const;
    // An entry subkey about to be replaced or removed: the keyring password it pointed to may
    // have to go.
    void NoteReplaced(const RegistryKey& entry);
    // Once the file is stored: removes the noted passwords that no stored entry points to.
    void RemoveUnused();

private:
    PasswordStore* keyring_;
    const std::vector<MailServerRow>& rows_;
    std::vector<bool> inKeyring_;
    std::vector<PasswordKey> replaced_;
};

} // namespace vorlane
