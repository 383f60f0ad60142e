#include "config/SettingsTable.h"

#include "config/PasswordScrambler.h"
#include "config/RegistryValue.h"
#include "mail/MailServer.h"
#include "util/AsciiCase.h"

#include <algorithm>

namespace vorlane {

namespace {

int ConnectionTimeoutInRange(int seconds)
{
    return seconds < 1 || seconds > 600 ? 60 : seconds;
}

// Reads the named value when it is there; one of the wrong kind is told and taken as absent.
template <typename Reader>
auto ReadPresent(const RegistryKey& key, std::string_view name, Reader read,
                 const ValueProblem& problem)
    -> std::optional<decltype(read(RegistryValue(), name))>
{
    const auto* value = key.FindValue(name);
    if (value == nullptr)
        return std::nullopt;
    try {
        return read(*value, name);
    } catch (const RegistryError& error) {
        if (problem)
            problem(error);
        return std::nullopt;
    }
}

} // namespace

const std::vector<SettingEntry>& SettingsTable()
{
    using K = SettingKind;
    static const std::vector<SettingEntry> table = {
        {"LogToFile", "LogToFile", K::Boolean, &Settings::LogToFile, false},
        {"DisplayMessage", "DisplayMessage", K::Boolean, &Settings::DisplayMessage, true},
        {"AutoHide", "AutoHide", K::Boolean, &Settings::AutoHide, true},
        {"AutoHideTime", "AutoHideTime", K::Integer, &Settings::AutoHideTime, 3},
        {"SystemBeep", "SystemBeep", K::Boolean, &Settings::SystemBeep, true},
        {"PlaySound", "PlaySound", K::Boolean, &Settings::PlaySound, false},
        {"WaveFile", "WaveFile", K::String, &Settings::WaveFile, std::string_view()},
        {"DisplayHeaders", "DisplayHeaders", K::Boolean, &Settings::DisplayHeaders, false},
        // Absent in settings stored before it existed: off, as those polls announced.
        {"AnnounceUnseenOnly", "AnnounceUnseenOnly", K::Boolean, &Settings::AnnounceUnseenOnly,
         false},
        {"StartClient", "StartClient", K::Boolean, &Settings::StartClient, false},
        {"MailClient", "MailClient", K::String, &Settings::MailClient, std::string_view()},
        {"SyncronizeTime", "SyncronizeTime", K::Boolean, &Settings::SyncronizeTime, false},
        // Absent, the time server keeps the name it had (and synchronizing is off).
        {"TimeServer", "TimeServer", K::String, &Settings::TimeServer, std::nullopt},
        {"TimeSynchronizationInterval", "TimeSynchronizationInterval", K::Integer,
         &Settings::TimeSynchronizationInterval, 0},
        {"IconClickAction", "IconClickAction", K::Integer, &Settings::IconClickAction, 0},
        {"ConnectionType", "ConnectionType", K::Boolean, &Settings::ConnectionType, false},
        {"ConnectionTimeout", "ConnectionTimeout", K::Integer, &Settings::ConnectionTimeout, 60,
         ConnectionTimeoutInRange},
        {"RasConnection", "RASConnection", K::String, &Settings::RasConnection, std::string_view()},
        {"DesktopNotification", "DesktopNotification", K::Boolean, &Settings::DesktopNotification,
         false},
    };
    return table;
}

const std::vector<const SettingEntry*>& SettingsWriteOrder()
{
    static const std::vector<const SettingEntry*> order = [] {
        std::vector<const SettingEntry*> entries;
        for (const auto name :
             {"DisplayMessage", "AutoHide", "AutoHideTime", "SystemBeep", "PlaySound", "WaveFile",
              "DisplayHeaders", "AnnounceUnseenOnly", "StartClient", "MailClient", "SyncronizeTime",
              "LogToFile", "TimeServer", "TimeSynchronizationInterval", "IconClickAction",
              "ConnectionTimeout", "ConnectionType", "RasConnection", "DesktopNotification"})
            for (const auto& entry : SettingsTable())
                if (entry.name == name)
                    entries.push_back(&entry);
        return entries;
    }();
    return order;
}

StoredSettings::StoredSettings(const RegistryKey& key, const ValueProblem& problem)
{
    for (const auto& entry : SettingsTable()) {
        if (entry.kind == SettingKind::String) {
            if (auto text = ReadPresent(key, entry.name, ReadString, problem))
                values_.emplace_back(entry.name, std::move(*text));
        } else if (const auto number = ReadPresent(key, entry.name, ReadInteger, problem)) {
            values_.emplace_back(entry.name, *number);
        }
    }
}

const std::variant<int, std::string>* StoredSettings::Find(std::string_view name) const
{
    const auto found = std::find_if(values_.begin(), values_.end(), [&](const auto& value) {
        return EqualsIgnoringCase(value.first, name);
    });
    return found == values_.end() ? nullptr : &found->second;
}

bool StoredSettings::Has(std::string_view name) const
{
    return Find(name) != nullptr;
}

std::optional<int> StoredSettings::Integer(std::string_view name) const
{
    const auto* value = Find(name);
    if (value == nullptr || !std::holds_alternative<int>(*value))
        return std::nullopt;
    return std::get<int>(*value);
}

std::optional<bool> StoredSettings::Boolean(std::string_view name) const
{
    const auto number = Integer(name);
    return number ? std::optional<bool>(*number != 0) : std::nullopt;
}

std::optional<std::string> StoredSettings::String(std::string_view name) const
{
    const auto* value = Find(name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value))
        return std::nullopt;
    return std::get<std::string>(*value);
}

void StoredSettings::ApplyTo(Settings& settings) const
{
    for (const auto& entry : SettingsTable()) {
        if (!Has(entry.name) && !entry.fallback)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(settings.*member)>;
                if constexpr (std::is_same_v<T, bool>) {
                    const auto stored = Boolean(entry.name);
                    settings.*member = stored ? *stored : std::get<bool>(*entry.fallback);
                } else if constexpr (std::is_same_v<T, int>) {
                    const auto stored = Integer(entry.name);
                    settings.*member = stored ? *stored : std::get<int>(*entry.fallback);
                    if (entry.clamp != nullptr)
                        settings.*member = entry.clamp(settings.*member);
                } else {
                    auto stored = String(entry.name);
                    settings.*member =
                        stored ? std::move(*stored)
                               : std::string(std::get<std::string_view>(*entry.fallback));
                }
            },
            entry.member);
    }
}

StoredEntry StoredEntry::Read(const RegistryKey& entry, const ValueProblem& problem)
{
    StoredEntry stored;
    stored.UserName = ReadPresent(entry, "Username", ReadString, problem);
    stored.Server = ReadPresent(entry, "Server", ReadString, problem);
    stored.Interval = ReadPresent(entry, "Interval", ReadInteger, problem);
    // Every stored byte counts: the scrambled form of the byte 255 is a zero byte.
    if (const auto scrambled = ReadPresent(entry, "Password", ReadStringData, problem))
        stored.Password = UnscramblePassword(*scrambled);
    stored.Security = ReadPresent(entry, "Security", ReadInteger, problem);
    if (!stored.Security && entry.FindValue("Security") != nullptr)
        stored.Security = kSecuritySTLS;
    stored.Port = ReadPresent(entry, "Port", ReadInteger, problem);
    stored.PasswordInKeyring =
        ReadPresent(entry, kPasswordInKeyringValue, ReadInteger, problem).value_or(0) != 0;
    stored.CertificateSha256 = ReadPresent(entry, kCertificateSha256Value, ReadString, problem);
    stored.Protocol = ReadPresent(entry, kProtocolValue, ReadString, problem);
    stored.Folder = ReadPresent(entry, kFolderValue, ReadString, problem);
    return stored;
}

void WriteSettingsValues(RegistryKey& key, const Settings& settings)
{
    for (const auto* entry : SettingsWriteOrder()) {
        std::visit(
            [&](auto member) {
                const auto& value = settings.*member;
                using T = std::remove_cvref_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>)
                    key.SetValue(entry->writtenName, BooleanValue(value));
                else if constexpr (std::is_same_v<T, int>)
                    key.SetValue(entry->writtenName, IntegerValue(value));
                else
                    key.SetValue(entry->writtenName, StringValue(value));
            },
            entry->member);
    }
}

} // namespace vorlane
