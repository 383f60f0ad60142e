#include "config/SettingsStore.h"

#include "config/EntryPasswords.h"
#include "config/RegistryError.h"
#include "config/SettingsTable.h"
#include "mail/CertificateTrust.h"
#include "util/AsciiCase.h"
#include "util/WholeNumber.h"

#include <algorithm>

namespace vorlane {

namespace {

void Log(const LoadSettingsHooks& hooks, const std::string& text)
{
    if (hooks.logMessage)
        hooks.logMessage(text);
}

TMailServer LoadMailServer(const RegistryKey& key, const std::string& name,
                           const LoadSettingsHooks& hooks)
{
    const auto stored = StoredEntry::Read(key, hooks.valueProblem);
    const std::string prefix = "Mailserver [" + name + "]: ";
    const auto userName = stored.UserName.value_or("");
    Log(hooks, prefix + "Username " + userName);
    const auto host = stored.Server.value_or("");
    Log(hooks, prefix + "Hostname " + host);
    const int interval = stored.Interval.value_or(10);
    Log(hooks, prefix + "Interval " + std::to_string(interval) + " min");
    const auto password = stored.Password.value_or("");
    // A password in the file wins: an older or imported file brought it, and the next save
    // moves it into the keyring.
    const bool inKeyring = stored.PasswordInKeyring && !stored.Password;
    Log(hooks, prefix + (inKeyring          ? "Password ******** (in the keyring)"
                         : password.empty() ? "Password [not set]"
                                            : "Password ********"));
    TMailServer server(name, userName, password, host, interval);
    server.PasswordInKeyring = inKeyring;
    if (stored.CertificateSha256) {
        if (const auto sha256 = ParseCertificateSha256(*stored.CertificateSha256))
            server.CertificateSha256 = *sha256;
        else
            Log(hooks, prefix + "CertificateSha256 is not 64 hex digits and is ignored: the "
                                "certificate is verified as usual");
    }
    // Values the Windows program does not know; without them an entry is plain POP3 on 110.
    // An unknown setting never means plain text: STLS upgrades or fails the poll.
    const int security = stored.Security.value_or(kSecurityNone);
    server.Security =
        (security == kSecurityNone || security == kSecurityImplicitTls) ? security : kSecuritySTLS;
    const int port = stored.Port.value_or(0);
    server.Port = (port >= 1 && port <= 65535) ? port : 0;
    if (stored.Protocol) {
        if (const auto protocol = ParseProtocol(*stored.Protocol))
            server.Protocol = *protocol;
        else
            Log(hooks, prefix + "Protocol '" + *stored.Protocol +
                           "' is not known and is ignored: the entry is checked by POP3");
    }
    if (server.Protocol == MailProtocol::Imap) {
        if (stored.Folder && !stored.Folder->empty())
            server.Folder = *stored.Folder;
        Log(hooks, prefix + "Protocol IMAP, folder " + server.Folder);
    }
    if (server.Security != kSecurityNone || key.FindValue("Port") != nullptr ||
        server.Protocol != MailProtocol::Pop3)
        Log(hooks, prefix + "Security " + std::to_string(server.Security) + ", port " +
                       std::to_string(server.Port != 0
                                          ? server.Port
                                          : DefaultMailPort(server.Security, server.Protocol)));
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

    const StoredSettings stored(*key, hooks.valueProblem);
    stored.ApplyTo(s);
    // Without a time server there is nothing to synchronize with; the old name stays in memory.
    if (!stored.Has("TimeServer"))
        s.SyncronizeTime = false;
    if (s.SyncronizeTime)
        Log(hooks, "Timeserver: " + s.TimeServer);
    if (hooks.connectionTimeoutLoaded)
        hooks.connectionTimeoutLoaded(s.ConnectionTimeout);

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
              RegistryStore::DamagedFile damaged, PasswordStore* keyring)
{
    const auto intervals = CheckedIntervals(rows);
    EntryPasswords passwords(keyring, rows);
    passwords.StoreInKeyring();
    const auto write = [&](RegistryKey& root) {
        auto& key = root.CreateKey("Software\\Mirvo\\Vorlane");
        WriteSettingsValues(key, v);

        for (const auto& name : key.SubkeyNames()) {
            const auto named = [&](const std::string& other) {
                return EqualsIgnoringCase(other, name);
            };
            if (!shownEntries || std::any_of(shownEntries->begin(), shownEntries->end(), named) ||
                std::any_of(rows.begin(), rows.end(),
                            [&](const MailServerRow& row) { return named(row.Name); })) {
                if (const auto* old = key.OpenKey(name))
                    passwords.NoteReplaced(*old);
                key.DeleteKey(name);
            }
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto& entry = key.CreateKey(rows[i].Name);
            entry.SetValue("Username", StringValue(rows[i].UserName));
            entry.SetValue("Server", StringValue(rows[i].Server));
            entry.SetValue("Interval", IntegerValue(intervals[i]));
            passwords.WriteTo(entry, i);
            if (rows[i].Security != kSecurityNone)
                entry.SetValue("Security", IntegerValue(rows[i].Security));
            if (rows[i].Port != 0)
                entry.SetValue("Port", IntegerValue(rows[i].Port));
            if (!rows[i].CertificateSha256.empty())
                entry.SetValue(kCertificateSha256Value, StringValue(rows[i].CertificateSha256));
            // A POP3 entry is stored as the Windows program stores it, without a protocol.
            if (rows[i].Protocol == MailProtocol::Imap) {
                entry.SetValue(kProtocolValue,
                               StringValue(std::string(ProtocolName(rows[i].Protocol))));
                entry.SetValue(kFolderValue,
                               StringValue(rows[i].Folder.empty() ? std::string(kDefaultImapFolder)
                                                                  : rows[i].Folder));
            }
        }
    };
    auto setAside = store.Modify(write, damaged);
    passwords.RemoveUnused();
    return setAside;
}

bool StoreTrustedCertificate(RegistryStore& store, const std::string& entryName,
                             const std::string& sha256)
{
    bool found = false;
    store.Modify([&](RegistryKey& root) {
        if (auto* entry = root.OpenKey(std::string(kSettingsKey) + "\\" + entryName)) {
            entry->SetValue(kCertificateSha256Value, StringValue(sha256));
            found = true;
        }
    });
    return found;
}

} // namespace vorlane
