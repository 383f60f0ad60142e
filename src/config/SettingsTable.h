#pragma once

#include "config/RegistryError.h"
#include "config/RegistryKey.h"
#include "config/Settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorlane {

// The kinds of stored values, as the registry holds them.
enum class SettingKind
{
    Boolean, // REG_DWORD, any number but 0 is true
    Integer, // REG_DWORD, signed 32 bits
    String,  // REG_SZ or REG_EXPAND_SZ
};

// One value of the settings key: its name, kind, default and where the running settings keep
// it. Loading, writing and the settings dialog all walk this one table.
struct SettingEntry
{
    std::string_view name;        // as read; names compare without letter case
    std::string_view writtenName; // as the settings dialog's OK spells it
    SettingKind kind;
    std::variant<bool Settings::*, int Settings::*, std::string Settings::*> member;
    // When the value is absent; none for a setting that then keeps what it held before.
    std::optional<std::variant<bool, int, std::string_view>> fallback;
    // Loading replaces a stored number outside its range (integers only).
    int (*clamp)(int) = nullptr;
};

// The values in the order they are read, the order that lets LogToFile govern the log of the
// rest of a load.
const std::vector<SettingEntry>& SettingsTable();
// The same values in the order the settings dialog's OK writes them.
const std::vector<const SettingEntry*>& SettingsWriteOrder();

// A stored value that cannot be read (of the wrong kind).
using ValueProblem = std::function<void(const RegistryError& error)>;

// The settings key's values as they are stored, read by the table: every value present and
// readable, booleans with the number they hold. A value of the wrong kind is told and absent.
class StoredSettings
{
public:
    StoredSettings() = default;
    StoredSettings(const RegistryKey& key, const ValueProblem& problem);

    bool Has(std::string_view name) const;
    std::optional<bool> Boolean(std::string_view name) const;
    std::optional<int> Integer(std::string_view name) const;
    std::optional<std::string> String(std::string_view name) const;

    // The running settings: stored values, defaults for absent ones, clamps applied.
    void ApplyTo(Settings& settings) const;

private:
    const std::variant<int, std::string>* Find(std::string_view name) const;

    std::vector<std::pair<std::string_view, std::variant<int, std::string>>> values_;
};

// Values of an entry that the Windows program does not know: where its password is kept, the
// certificate the user trusted for it, its protocol and folder.
inline constexpr std::string_view kPasswordInKeyringValue = "PasswordInKeyring";
inline constexpr std::string_view kCertificateSha256Value = "CertificateSha256";
// The protocol ("POP3" when absent, or "IMAP") and, for IMAP, the folder watched.
inline constexpr std::string_view kProtocolValue = "Protocol";
inline constexpr std::string_view kFolderValue = "Folder";

// One mail server entry's values as they are stored, each present and readable one. The
// password is unscrambled, every byte kept. A security that is present but cannot be read is
// STLS: it never means plain text.
struct StoredEntry
{
    std::optional<std::string> UserName;
    std::optional<std::string> Server;
    std::optional<int> Interval;
    std::optional<std::string> Password;
    std::optional<int> Security;
    std::optional<int> Port;
    // The password is kept in the keyring (and Password is absent, unless an older file or an
    // import brought one, which then wins).
    bool PasswordInKeyring = false;
    std::optional<std::string> CertificateSha256; // as stored, not checked
    std::optional<std::string> Protocol;          // as stored, not checked
    std::optional<std::string> Folder;

    static StoredEntry Read(const RegistryKey& entry, const ValueProblem& problem);
};

// Writes every value of the table from the settings, in the dialog's order.
void WriteSettingsValues(RegistryKey& key, const Settings& settings);

} // namespace vorlane
