#include "config/SettingsStore.h"

#include "config/PasswordScrambler.h"
#include "config/RegistryError.h"
#include "util/AsciiCase.h"
#include "util/WholeNumber.h"

#include <algorithm>

namespace vorlane {

namespace {

// Sets field from the named value when it exists, else to the fallback. A value of the wrong kind
// is told and takes the fallback too (or its own, when it must differ). Returns whether the value
// was read.
template <typename T, typename Reader>
bool ReadOrDefault(const RegistryKey& key, std::string_view name, T& field, const T& fallback,
                   Reader read, const LoadSettingsHooks& hooks,
                   std::optional<T> fallbackWhenUnreadable = std::nullopt)
{
    const auto* value = key.FindValue(name);
    if (value == nullptr) {
        field = fallback;
        return false;
    }
    try {
        field = read(*value, name);
        return true;
    } catch (const RegistryError& error) {
        if (hooks.valueProblem)
            hooks.valueProblem(error);
        field = fallbackWhenUnreadable.value_or(fallback);
        return false;
    }
}

void Log(const LoadSettingsHooks& hooks, const std::string& text)
{
    if (hooks.logMessage)
        hooks.logMessage(text);
}

TMailServer LoadMailServer(const RegistryKey& key, const std::string& name,
                           const LoadSettingsHooks& hooks)
{
    const std::string prefix = "Mailserver [" + name + "]: ";
    std::string userName;
    ReadOrDefault(key, "Username", userName, std::string(), ReadString, hooks);
    Log(hooks, prefix + "Username " + userName);
    std::string host;
    ReadOrDefault(key, "Server", host, std::string(), ReadString, hooks);
    Log(hooks, prefix + "Hostname " + host);
    int interval = 0;
    ReadOrDefault(key, "Interval", interval, 10, ReadInteger, hooks);
    Log(hooks, prefix + "Interval " + std::to_string(interval) + " min");
    // Every stored byte counts: the scrambled form of the byte 255 is a zero byte.
    std::string password;
    ReadOrDefault(key, "Password", password, std::string(), ReadStringData, hooks);
    password = UnscramblePassword(password);
    Log(hooks, prefix + (password.empty() ? "Password [not set]" : "Password ********"));
    TMailServer server(name, userName, password, host, interval);
    // Values the Windows program does not know; without them an entry is plain POP3 on 110.
    // An unknown or unreadable setting never means plain text: STLS upgrades or fails the poll.
    int security = kSecurityNone;
    ReadOrDefault(key, "Security", security, static_cast<int>(kSecurityNone), ReadInteger, hooks,
                  std::optional<int>(kSecuritySTLS));
    server.Security =
        (security == kSecurityNone || security == kSecurityImplicitTls) ? security : kSecuritySTLS;
    int port = 0;
    ReadOrDefault(key, "Port", port, 0, ReadInteger, hooks);
    server.Port = (port >= 1 && port <= 65535) ? port : 0;
    if (server.Security != kSecurityNone || key.FindValue("Port") != nullptr)
        Log(hooks,
            prefix + "Security " + std::to_string(server.Security) + ", port " +
                std::to_string(server.Port != 0 ? server.Port : DefaultMailPort(server.Security)));
    return server;
}

std::vector<std::int32_t> CheckedIntervals(const std::vector<MailServerRow>& rows)
{
    std::vector<std::int32_t> intervals;
    for (auto row = rows.begin(); row != rows.end(); ++row) {
        if (row->Name.empty())
            throw RegistryError("A mail server entry needs a name");
        if (!IsValidKeyName(row->Name))
            throw RegistryError("Invalid mail server name '" + row->Name + "'");
        const auto same = [&](const MailServerRow& other) {
            return EqualsIgnoringCase(other.Name, row->Name);
        };
        if (std::any_of(rows.begin(), row, same))
            throw RegistryError("Two mail server entries are named '" + row->Name + "'");
        const auto interval = ParseWholeNumber(row->Interval);
        if (!interval)
            throw RegistryError("'" + row->Interval + "' is not a valid integer value");
        intervals.push_back(*interval);
    }
    return intervals;
}

} // namespace

RegFileOptions SettingsFileOptions()
{
    return {{"Password"}};
}

RegistryStore UserRegistryStore()
{
    return RegistryStore(RegistryStore::DefaultPath(), SettingsFileOptions());
}

bool LoadSettings(const RegistryKey& root, Settings& s, std::vector<TMailServer>& mailServers,
                  const LoadSettingsHooks& hooks)
{
    mailServers.clear();
    const auto* key = root.OpenKey(kSettingsKey);
    if (key == nullptr)
        return false;

    ReadOrDefault(*key, "LogToFile", s.LogToFile, false, ReadBoolean, hooks);
    ReadOrDefault(*key, "DisplayMessage", s.DisplayMessage, true, ReadBoolean, hooks);
    ReadOrDefault(*key, "AutoHide", s.AutoHide, true, ReadBoolean, hooks);
    ReadOrDefault(*key, "AutoHideTime", s.AutoHideTime, 3, ReadInteger, hooks);
    ReadOrDefault(*key, "SystemBeep", s.SystemBeep, true, ReadBoolean, hooks);
    ReadOrDefault(*key, "PlaySound", s.PlaySound, false, ReadBoolean, hooks);
    ReadOrDefault(*key, "WaveFile", s.WaveFile, std::string(), ReadString, hooks);
    ReadOrDefault(*key, "DisplayHeaders", s.DisplayHeaders, false, ReadBoolean, hooks);
    ReadOrDefault(*key, "StartClient", s.StartClient, false, ReadBoolean, hooks);
    ReadOrDefault(*key, "MailClient", s.MailClient, std::string(), ReadString, hooks);
    ReadOrDefault(*key, "SyncronizeTime", s.SyncronizeTime, false, ReadBoolean, hooks);
    // Without a time server there is nothing to synchronize with; the old name stays in memory.
    std::string timeServer = s.TimeServer;
    if (ReadOrDefault(*key, "TimeServer", timeServer, s.TimeServer, ReadString, hooks))
        s.TimeServer = timeServer;
    else
        s.SyncronizeTime = false;
    if (s.SyncronizeTime)
        Log(hooks, "Timeserver: " + s.TimeServer);
    ReadOrDefault(*key, "TimeSynchronizationInterval", s.TimeSynchronizationInterval, 0,
                  ReadInteger, hooks);
    ReadOrDefault(*key, "IconClickAction", s.IconClickAction, 0, ReadInteger, hooks);
    ReadOrDefault(*key, "ConnectionType", s.ConnectionType, false, ReadBoolean, hooks);
    ReadOrDefault(*key, "ConnectionTimeout", s.ConnectionTimeout, 60, ReadInteger, hooks);
    if (s.ConnectionTimeout < 1 || s.ConnectionTimeout > 600)
        s.ConnectionTimeout = 60;
    if (hooks.connectionTimeoutLoaded)
        hooks.connectionTimeoutLoaded(s.ConnectionTimeout);
    ReadOrDefault(*key, "RasConnection", s.RasConnection, std::string(), ReadString, hooks);

    for (const auto& name : key->SubkeyNames())
        if (const auto* entry = key->OpenKey(name))
            mailServers.push_back(LoadMailServer(*entry, name, hooks));
    return true;
}

std::string DescribeSettingsProblem(const RegistryError& error, const std::filesystem::path& file)
{
    std::string place = file.string();
    if (error.Line() > 0)
        place += ", line " + std::to_string(error.Line());
    return std::string(error.what()) + " (" + place + ")";
}

std::string UnreadableValuesMessage(const std::vector<std::string>& problems)
{
    std::string text = "Vorlane cannot use some of its stored settings:";
    for (const auto& problem : problems)
        text += "\r\n" + problem;
    return text + "\r\nThey keep their defaults until you store new ones with OK in the settings.";
}

std::string UnreadableFileMessage(const RegistryError& error)
{
    return "Vorlane cannot read its settings file:\r\n" + std::string(error.what()) +
           "\r\nVorlane goes on without its settings and leaves the file as it is. Open the "
           "settings to enter them anew.";
}

std::optional<std::filesystem::path>
WriteSettings(RegistryStore& store, const Settings& v, const std::vector<MailServerRow>& rows,
              const std::optional<std::vector<std::string>>& shownEntries,
              RegistryStore::DamagedFile damaged)
{
    const auto intervals = CheckedIntervals(rows);
    const auto write = [&](RegistryKey& root) {
        auto& key = root.CreateKey("Software\\Mirvo\\Vorlane");
        key.SetValue("DisplayMessage", BooleanValue(v.DisplayMessage));
        key.SetValue("AutoHide", BooleanValue(v.AutoHide));
        key.SetValue("AutoHideTime", IntegerValue(v.AutoHideTime));
        key.SetValue("SystemBeep", BooleanValue(v.SystemBeep));
        key.SetValue("PlaySound", BooleanValue(v.PlaySound));
        key.SetValue("WaveFile", StringValue(v.WaveFile));
        key.SetValue("DisplayHeaders", BooleanValue(v.DisplayHeaders));
        key.SetValue("StartClient", BooleanValue(v.StartClient));
        key.SetValue("MailClient", StringValue(v.MailClient));
        key.SetValue("SyncronizeTime", BooleanValue(v.SyncronizeTime));
        key.SetValue("LogToFile", BooleanValue(v.LogToFile));
        key.SetValue("TimeServer", StringValue(v.TimeServer));
        key.SetValue("TimeSynchronizationInterval", IntegerValue(v.TimeSynchronizationInterval));
        key.SetValue("IconClickAction", IntegerValue(v.IconClickAction));
        key.SetValue("ConnectionTimeout", IntegerValue(v.ConnectionTimeout));
        key.SetValue("ConnectionType", IntegerValue(v.ConnectionType ? 1 : 0));
        key.SetValue("RASConnection", StringValue(v.RasConnection));

        for (const auto& name : key.SubkeyNames()) {
            const auto named = [&](const std::string& other) {
                return EqualsIgnoringCase(other, name);
            };
            if (!shownEntries || std::any_of(shownEntries->begin(), shownEntries->end(), named) ||
                std::any_of(rows.begin(), rows.end(),
                            [&](const MailServerRow& row) { return named(row.Name); }))
                key.DeleteKey(name);
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto& entry = key.CreateKey(rows[i].Name);
            entry.SetValue("Username", StringValue(rows[i].UserName));
            entry.SetValue("Server", StringValue(rows[i].Server));
            entry.SetValue("Interval", IntegerValue(intervals[i]));
            entry.SetValue("Password", StringValue(ScramblePassword(rows[i].Password)));
            if (rows[i].Security != kSecurityNone)
                entry.SetValue("Security", IntegerValue(rows[i].Security));
            if (rows[i].Port != 0)
                entry.SetValue("Port", IntegerValue(rows[i].Port));
        }
    };
    return store.Modify(write, damaged);
}

} // namespace vorlane
