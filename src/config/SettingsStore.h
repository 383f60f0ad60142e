#pragma once

#include "config/PasswordStore.h"
#include "config/RegistryError.h"
#include "config/RegistryKey.h"
#include "config/RegistryStore.h"
#include "config/Settings.h"
#include "mail/MailServer.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Mirvo\\Vorlane";
inline constexpr std::string_view kOlderSettingsKey = "SOFTWARE\\Mirvo\\Garbelund";

// The current user's registry file, read with the settings' own text rules.
RegistryStore UserRegistryStore();
RegFileOptions SettingsFileOptions();

// What a settings load tells its owner while it runs.
struct LoadSettingsHooks
{
    std::function<void(const std::string& text)> logMessage;
    // The connection time-out in seconds, as soon as it is known; the time-out timer follows it.
    std::function<void(int seconds)> connectionTimeoutLoaded;
    // A stored value that cannot be read (of the wrong kind); the load goes on without it.
    std::function<void(const RegistryError& error)> valueProblem = {};
};

// Replaces the settings and the mail servers by what root holds. Returns false, with nothing
// changed but an emptied server list, when the settings key does not exist. A value of the wrong
// kind is told to valueProblem and takes its default (an entry's security then is STLS, never
// plain text), so that one broken value can neither hide the entries nor stop the program.
bool LoadSettings(const RegistryKey& root, Settings& settings,
                  std::vector<TMailServer>& mailServers, const LoadSettingsHooks& hooks);

// "Invalid data type for 'AutoHideTime' (/home/ann/.config/Vorlane/registry.reg, line 4)".
std::string DescribeSettingsProblem(const RegistryError& error, const std::filesystem::path& file);
// What the user is told about stored values that cannot be used, one described value a line.
std::string UnreadableValuesMessage(const std::vector<std::string>& problems);
// What the user is told when the settings file cannot be read at all.
std::string UnreadableFileMessage(const RegistryError& error);

// One row of the settings dialog's mail server list.
struct MailServerRow
{
    std::string Name;
    std::string UserName;
    std::string Server;
    std::string Interval; // as typed: a whole number
    std::string Password; // plain
    int Security = kSecurityNone;
    int Port = 0; // 0: the usual port of the security setting
    // The certificate the user trusted for this entry, as stored (SHA-256 in hex).
    std::string CertificateSha256 = {};
    MailProtocol Protocol = MailProtocol::Pop3;
    std::string Folder = std::string(kDefaultImapFolder); // IMAP only
    // The password stays in the keyring where it is kept, under this key, unread: Password is
    // empty and means nothing. A row whose user name or host changed takes it along.
    std::optional<PasswordKey> KeptUnder = {};
};

// Stores the settings and makes the entry subkeys exactly the rows, in one change of the file:
// all of it is stored or nothing. Rows whose names are empty, hold "\", repeat another row's name
// (letter case aside) or whose interval is not a whole number are refused before anything is
// written. LastSynchronizedAt and values the program does not know stay as they were. (Security
// and Port are written only when they differ from the plain defaults, so entries without TLS
// stay exactly as the Windows program writes them.)
// With shownEntries, only the entries named there (the ones the user saw and could remove) and
// the rows are rewritten; an entry the user never saw is never deleted. A file that cannot be
// read or parsed is refused, or set aside as RegistryStore::Modify does when damaged says so;
// returns where it was set aside.
// With a keyring, every password goes there, under the row's user name and host, and the file
// keeps only PasswordInKeyring for it (a Password of an older or imported file is moved so);
// passwords the keyring no longer needs are removed from it after the file is stored. When no
// keyring answers, the file keeps the scrambled password as it always did. A keyring that stays
// locked, or a kept password that cannot be taken along, stores nothing (RegistryError).
std::optional<std::filesystem::path>
WriteSettings(RegistryStore& store, const Settings& values, const std::vector<MailServerRow>& rows,
              const std::optional<std::vector<std::string>>& shownEntries = std::nullopt,
              RegistryStore::DamagedFile damaged = RegistryStore::DamagedFile::Refuse,
              PasswordStore* keyring = nullptr);

// Stores the certificate (SHA-256 in hex) that the user chose to trust for the named entry.
// False when the entry is no longer there.
bool StoreTrustedCertificate(RegistryStore& store, const std::string& entryName,
                             const std::string& sha256);

} // namespace vorlane
