#include "config/SettingsStore.h"

#include "config/PasswordScrambler.h"
#include "config/RegFile.h"
#include "config/RegistryError.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kKey = "SOFTWARE\\Mirvo\\Vorlane";

// What one load tells: the log lines and the time-out handed to the timer.
struct LoadResult
{
    bool found = false;
    Settings settings;
    std::vector<TMailServer> servers;
    std::vector<std::string> log;
    std::vector<int> timeouts;
};

LoadResult Load(const RegistryKey& root, Settings start = {})
{
    LoadResult result;
    result.settings = std::move(start);
    const LoadSettingsHooks hooks{[&](const std::string& text) { result.log.push_back(text); },
                                  [&](int seconds) { result.timeouts.push_back(seconds); }};
    result.found = LoadSettings(root, result.settings, result.servers, hooks);
    return result;
}

RegistryKey WithSettings(const std::function<void(RegistryKey&)>& fill)
{
    RegistryKey root("HKEY_CURRENT_USER");
    fill(root.CreateKey(kKey));
    return root;
}

Settings Defaults()
{
    Settings s;
    s.DisplayMessage = true;
    s.AutoHide = true;
    s.AutoHideTime = 3;
    s.SystemBeep = true;
    s.ConnectionTimeout = 60;
    return s;
}

TEST(LoadSettings, WithoutSettingsKeyChangesNothing)
{
    Settings start;
    start.MailClient = "kept";
    RegistryKey root("HKEY_CURRENT_USER");
    root.CreateKey("SOFTWARE\\Mirvo\\Garbelund").SetValue("LogToFile", BooleanValue(true));
    const auto result = Load(root, start);
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.settings, start);
    EXPECT_TRUE(result.log.empty());
    EXPECT_TRUE(result.timeouts.empty()) << "the time-out timer keeps its first interval";
}

TEST(LoadSettings, AppliesDefaultsClampsAndSpecialRules)
{
    struct Case
    {
        const char* name;
        std::function<void(RegistryKey&)> stored;
        std::function<void(Settings&)> expect; // changes to Defaults()
    };
    const Case cases[] = {
        {"empty key: every default", [](RegistryKey&) {}, [](Settings&) {}},
        {"announcing only unseen messages",
         [](RegistryKey& k) { k.SetValue("AnnounceUnseenOnly", BooleanValue(true)); },
         [](Settings& s) { s.AnnounceUnseenOnly = true; }},
        {"synchronization without time server is off",
         [](RegistryKey& k) { k.SetValue("SyncronizeTime", BooleanValue(true)); },
         [](Settings& s) { s.SyncronizeTime = false; }},
        {"synchronization with time server",
         [](RegistryKey& k) {
             k.SetValue("SyncronizeTime", BooleanValue(true));
             k.SetValue("TimeServer", StringValue("time.nist.gov"));
         },
         [](Settings& s) {
             s.SyncronizeTime = true;
             s.TimeServer = "time.nist.gov";
         }},
        {"time-out 0", [](RegistryKey& k) { k.SetValue("ConnectionTimeout", IntegerValue(0)); },
         [](Settings&) {}},
        {"time-out -5", [](RegistryKey& k) { k.SetValue("ConnectionTimeout", IntegerValue(-5)); },
         [](Settings&) {}},
        {"time-out 601", [](RegistryKey& k) { k.SetValue("ConnectionTimeout", IntegerValue(601)); },
         [](Settings&) {}},
        {"time-out 1", [](RegistryKey& k) { k.SetValue("ConnectionTimeout", IntegerValue(1)); },
         [](Settings& s) { s.ConnectionTimeout = 1; }},
        {"time-out 600", [](RegistryKey& k) { k.SetValue("ConnectionTimeout", IntegerValue(600)); },
         [](Settings& s) { s.ConnectionTimeout = 600; }},
        {"connection type 2 is dial-up",
         [](RegistryKey& k) { k.SetValue("ConnectionType", IntegerValue(2)); },
         [](Settings& s) { s.ConnectionType = true; }},
        {"any non-zero boolean is true, zero is false",
         [](RegistryKey& k) {
             k.SetValue("LogToFile", IntegerValue(-7));
             k.SetValue("SystemBeep", IntegerValue(0));
         },
         [](Settings& s) {
             s.LogToFile = true;
             s.SystemBeep = false;
         }},
        {"numbers are taken as stored",
         [](RegistryKey& k) {
             k.SetValue("AutoHideTime", IntegerValue(11));
             k.SetValue("IconClickAction", IntegerValue(9));
             k.SetValue("TimeSynchronizationInterval", IntegerValue(1));
         },
         [](Settings& s) {
             s.AutoHideTime = 11;
             s.IconClickAction = 9;
             s.TimeSynchronizationInterval = 1;
         }},
        {"texts end at a zero byte; REG_EXPAND_SZ is not expanded",
         [](RegistryKey& k) {
             k.SetValue("WaveFile", StringValue(std::string("ding.wav\0junk", 13)));
             k.SetValue("MailClient", {REG_EXPAND_SZ, "$HOME/bin/mail"});
         },
         [](Settings& s) {
             s.WaveFile = "ding.wav";
             s.MailClient = "$HOME/bin/mail";
         }},
        {"dial-up entries in either spelling",
         [](RegistryKey& k) { k.SetValue("RASConnection", StringValue("|A|B")); },
         [](Settings& s) { s.RasConnection = "|A|B"; }},
    };
    for (const auto& c : cases) {
        const auto result = Load(WithSettings(c.stored));
        auto expected = Defaults();
        c.expect(expected);
        EXPECT_TRUE(result.found) << c.name;
        EXPECT_EQ(result.settings, expected) << c.name;
        EXPECT_EQ(result.timeouts, std::vector<int>{expected.ConnectionTimeout}) << c.name;
        EXPECT_TRUE(result.servers.empty()) << c.name;
    }
}

TEST(LoadSettings, AbsentTimeServerKeepsThePreviousNameAndLogsNothing)
{
    Settings start;
    start.TimeServer = "previous";
    const auto result = Load(WithSettings([](RegistryKey& k) {
                                 k.SetValue("LogToFile", BooleanValue(true));
                                 k.SetValue("SyncronizeTime", BooleanValue(true));
                             }),
                             start);
    EXPECT_EQ(result.settings.TimeServer, "previous");
    EXPECT_FALSE(result.settings.SyncronizeTime);
    EXPECT_TRUE(result.log.empty());

    const auto on = Load(WithSettings([](RegistryKey& k) {
        k.SetValue("SyncronizeTime", BooleanValue(true));
        k.SetValue("TimeServer", StringValue("time.nist.gov"));
    }));
    EXPECT_EQ(on.log, std::vector<std::string>{"Timeserver: time.nist.gov"});
}

TEST(LoadSettings, BuildsMailServersInListingOrderAndLogsWithoutPasswords)
{
    const auto root = WithSettings([](RegistryKey& k) {
        auto& work = k.CreateKey("work");
        work.SetValue("Username", StringValue("joe"));
        work.SetValue("Server", StringValue("10.0.0.7"));
        work.SetValue("Interval", IntegerValue(0));
        work.SetValue("Password", StringValue("\x39\x3B\x3D"));
        auto& home = k.CreateKey("Home");
        home.SetValue("Password", StringValue(""));
        k.CreateKey("Alpha");
    });
    const auto result = Load(root);
    ASSERT_EQ(result.servers.size(), 3u);
    EXPECT_EQ(result.servers[0].Name, "Alpha");
    EXPECT_EQ(result.servers[1].Name, "Home");
    EXPECT_EQ(result.servers[2].Name, "work");

    const auto& alpha = result.servers[0];
    EXPECT_EQ(alpha.Interval, 10) << "absent interval";
    EXPECT_EQ(alpha.UserName, "");
    EXPECT_EQ(alpha.Host, "");
    EXPECT_EQ(alpha.Password, "");
    const auto& work = result.servers[2];
    EXPECT_EQ(work.Interval, 0);
    EXPECT_EQ(work.Password, "abc");
    EXPECT_TRUE(work.IsAddress);
    EXPECT_EQ(work.MinuteCounter, -1);

    EXPECT_EQ(result.log, (std::vector<std::string>{
                              "Mailserver [Alpha]: Username ",
                              "Mailserver [Alpha]: Hostname ",
                              "Mailserver [Alpha]: Interval 10 min",
                              "Mailserver [Alpha]: Password [not set]",
                              "Mailserver [Home]: Username ",
                              "Mailserver [Home]: Hostname ",
                              "Mailserver [Home]: Interval 10 min",
                              "Mailserver [Home]: Password [not set]",
                              "Mailserver [work]: Username joe",
                              "Mailserver [work]: Hostname 10.0.0.7",
                              "Mailserver [work]: Interval 0 min",
                              "Mailserver [work]: Password ********",
                          }));
}

Settings SampleSettings()
{
    Settings s;
    s.LogToFile = true;
    s.DisplayMessage = true;
    s.AutoHide = false;
    s.AutoHideTime = 15;
    s.SystemBeep = false;
    s.PlaySound = true;
    s.WaveFile = "/usr/share/sounds/ding.wav";
    s.DisplayHeaders = true;
    s.AnnounceUnseenOnly = true;
    s.StartClient = true;
    s.MailClient = "thunderbird -mail";
    s.SyncronizeTime = true;
    s.TimeServer = "time.nist.gov";
    s.TimeSynchronizationInterval = 1;
    s.IconClickAction = 3;
    s.ConnectionType = true;
    s.ConnectionTimeout = 120;
    s.RasConnection = "|Office|Home";
    return s;
}

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST(WriteSettings, StoresWhatLoadSettingsReadsBack)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    const std::vector<MailServerRow> rows = {
        {"Home", "joe", "pop.example.org", "5", "secret"},
        {"Bytes", "", "10.0.0.1", "10", AllBytes()}, // the byte 255 scrambles to a zero byte
        {"Empty", "", "", "1", ""},
    };
    WriteSettings(store, SampleSettings(), rows);

    const auto result = Load(store.Read());
    EXPECT_EQ(result.settings, SampleSettings());
    ASSERT_EQ(result.servers.size(), 3u);
    EXPECT_EQ(result.servers[0].Name, "Bytes");
    EXPECT_EQ(result.servers[0].Password, AllBytes());
    EXPECT_EQ(result.servers[1].Password, "");
    EXPECT_EQ(result.servers[2].UserName, "joe");
    EXPECT_EQ(result.servers[2].Interval, 5);
    EXPECT_EQ(result.servers[2].Password, "secret");

    const auto root = store.Read();
    const auto* key = root.OpenKey(kKey);
    EXPECT_EQ(key->Values().back().first, "DesktopNotification");
    EXPECT_EQ(*key->FindValue("ConnectionType"), IntegerValue(1));
    EXPECT_EQ(*key->OpenKey("Home")->FindValue("Password"),
              StringValue(ScramblePassword("secret")));
    EXPECT_EQ(ReadFile(store.Path()).find("secret"), std::string::npos);
}

TEST(WriteSettings, MakesTheEntriesExactlyTheRowsAndKeepsOtherValues)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    store.Modify([](RegistryKey& root) {
        auto& key = root.CreateKey(kKey);
        key.SetValue("LastSynchronizedAt", DateTimeValue(45000.5));
        key.SetValue("RasConnection", StringValue("|Old"));
        key.SetValue("FutureSetting", IntegerValue(42));
        key.CreateKey("Removed").CreateKey("Deeper");
        key.CreateKey("KEPT").SetValue("Extra", IntegerValue(1));
    });
    WriteSettings(store, SampleSettings(),
                  {{"kept", "u", "h", "3", "p"}, {"New", "", "", "10", ""}});

    const auto root = store.Read();
    const auto* key = root.OpenKey(kKey);
    EXPECT_EQ(key->SubkeyNames(), (std::vector<std::string>{"kept", "New"}));
    EXPECT_EQ(key->OpenKey("kept")->FindValue("Extra"), nullptr) << "an entry is written afresh";
    EXPECT_EQ(*key->FindValue("LastSynchronizedAt"), DateTimeValue(45000.5));
    EXPECT_EQ(*key->FindValue("FutureSetting"), IntegerValue(42));
    EXPECT_EQ(ReadString(*key->FindValue("RasConnection"), ""), "|Office|Home");

    WriteSettings(store, SampleSettings(), {});
    EXPECT_TRUE(store.Read().OpenKey(kKey)->Subkeys().empty());
    EXPECT_TRUE(Load(store.Read()).servers.empty());
}

TEST(WriteSettings, NeverDeletesAnEntryTheUserDidNotSee)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    store.Modify([](RegistryKey& root) {
        auto& key = root.CreateKey(kKey);
        for (const char* name : {"Shown", "Removed", "Unseen"})
            key.CreateKey(name).SetValue("Server", StringValue(name));
    });
    WriteSettings(store, SampleSettings(),
                  {{"shown", "u", "h", "3", "p"}, {"New", "", "", "1", ""}},
                  std::vector<std::string>{"Shown", "Removed"});
    const auto root = store.Read();
    EXPECT_EQ(root.OpenKey(kKey)->SubkeyNames(),
              (std::vector<std::string>{"New", "shown", "Unseen"}));
    EXPECT_EQ(ReadString(*root.OpenKey(kKey)->OpenKey("Unseen")->FindValue("Server"), "Server"),
              "Unseen");
}

TEST(WriteSettings, SetsADamagedFileAsideOnlyWhenAsked)
{
    const TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    WriteFile(store.Path(), "REGEDIT4\r\n[HKEY_CURRENT_USER\\broken\r\n");
    const std::vector<MailServerRow> rows = {{"Home", "joe", "pop.example.org", "5", "secret"}};
    EXPECT_THROW(WriteSettings(store, SampleSettings(), rows), RegistryFileError);
    EXPECT_EQ(WriteSettings(store, SampleSettings(), rows, std::nullopt,
                            RegistryStore::DamagedFile::SetAside),
              dir / "registry.reg.damaged");
    const auto result = Load(store.Read());
    EXPECT_EQ(result.settings, SampleSettings());
    ASSERT_EQ(result.servers.size(), 1u);
    EXPECT_EQ(result.servers[0].Password, "secret");
}

TEST(WriteSettings, RefusesRowsItCannotStoreAndChangesNothing)
{
    const struct
    {
        const char* name;
        std::vector<MailServerRow> rows;
        const char* error;
    } cases[] = {
        {"empty name", {{"", "", "", "10", ""}}, "A mail server entry needs a name"},
        {"backslash", {{"a\\b", "", "", "10", ""}}, "Invalid mail server name 'a\\b'"},
        {"same name in another case",
         {{"Home", "", "", "10", ""}, {"HOME", "", "", "10", ""}},
         "Two mail server entries are named 'HOME'"},
        {"interval not a number",
         {{"Home", "", "", "ten", ""}},
         "'ten' is not a valid integer value"},
        {"interval too large",
         {{"Home", "", "", "99999999999", ""}},
         "'99999999999' is not a valid integer value"},
    };
    const TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    WriteSettings(store, SampleSettings(), {{"Original", "u", "h", "3", "p"}});
    const auto before = ReadFile(store.Path());
    for (const auto& c : cases) {
        auto changed = SampleSettings();
        changed.LogToFile = false;
        try {
            WriteSettings(store, changed, c.rows);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const RegistryError& error) {
            EXPECT_STREQ(error.what(), c.error) << c.name;
        }
        EXPECT_EQ(ReadFile(store.Path()), before) << c.name;
    }
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

struct LoadedEntry
{
    std::vector<TMailServer> servers;
    std::vector<std::string> log;
};

// Loads settings that hold one entry, "Home", with the values fill gives it.
LoadedEntry LoadEntry(const std::function<void(RegistryKey&)>& fill)
{
    RegistryKey root("HKEY_CURRENT_USER");
    fill(root.CreateKey("SOFTWARE\\Mirvo\\Vorlane\\Home"));
    Settings settings;
    LoadedEntry loaded;
    LoadSettings(root, settings, loaded.servers,
                 {[&](const std::string& line) { loaded.log.push_back(line); }, {}});
    return loaded;
}

TEST(LoadSettings, ReadsSecurityAndPortWithSafeDefaults)
{
    const struct
    {
        const char* name;
        std::optional<int> security;
        std::optional<int> port;
        int expectedSecurity;
        int expectedPort; // 0: the usual one
    } cases[] = {
        {"neither value: plain POP3", std::nullopt, std::nullopt, 0, 0},
        {"STLS on the plain port", 1, std::nullopt, 1, 0},
        {"implicit TLS", 2, std::nullopt, 2, 0},
        {"own port", 2, 1995, 2, 1995},
        {"unknown setting is never plain", 7, std::nullopt, 1, 0},
        {"negative setting is never plain", -1, std::nullopt, 1, 0},
        {"port 0", 0, 0, 0, 0},
        {"port out of range", 2, 70000, 2, 0},
    };
    for (const auto& c : cases) {
        const auto [servers, log] = LoadEntry([&](RegistryKey& entry) {
            if (c.security)
                entry.SetValue("Security", IntegerValue(*c.security));
            if (c.port)
                entry.SetValue("Port", IntegerValue(*c.port));
        });
        ASSERT_EQ(servers.size(), 1u) << c.name;
        EXPECT_EQ(servers[0].Security, c.expectedSecurity) << c.name;
        EXPECT_EQ(servers[0].Port, c.expectedPort) << c.name;
        EXPECT_EQ(log.size(), (c.security || c.port) ? 5u : 4u) << c.name;
    }
}

TEST(WriteSettings, StoresSecurityAndPortOnlyWhenNotPlain)
{
    const test::TempDir dir;
    RegistryStore store(dir / "registry.reg", SettingsFileOptions());
    MailServerRow plain{"Plain", "u", "h", "10", "p"};
    MailServerRow secure{"Secure", "u", "h", "10", "p"};
    secure.Security = kSecurityImplicitTls;
    secure.Port = 1995;
    WriteSettings(store, {}, {plain, secure});
    const auto root = store.Read();
    EXPECT_EQ(root.OpenKey("SOFTWARE\\Mirvo\\Vorlane\\Plain")->Values().size(), 4u);
    const auto* stored = root.OpenKey("SOFTWARE\\Mirvo\\Vorlane\\Secure");
    EXPECT_EQ(*stored->FindValue("Security"), IntegerValue(2));
    EXPECT_EQ(*stored->FindValue("Port"), IntegerValue(1995));
}

TEST(LoadSettings, ReadsTheProtocolAndFolderOfImapEntries)
{
    const struct
    {
        const char* name;
        std::optional<const char*> protocol;
        std::optional<const char*> folder;
        MailProtocol expectedProtocol;
        const char* expectedFolder;
        const char* logged; // a line that must be logged, if any
    } cases[] = {
        {"no protocol: POP3", std::nullopt, std::nullopt, MailProtocol::Pop3, "INBOX", nullptr},
        {"POP3 named", "POP3", std::nullopt, MailProtocol::Pop3, "INBOX", nullptr},
        {"IMAP in any letter case", "imap", std::nullopt, MailProtocol::Imap, "INBOX",
         "Mailserver [Home]: Protocol IMAP, folder INBOX"},
        {"IMAP with a folder", "IMAP", "Lists/Qt", MailProtocol::Imap, "Lists/Qt",
         "Mailserver [Home]: Security 0, port 143"},
        {"an empty folder is the inbox", "IMAP", "", MailProtocol::Imap, "INBOX", nullptr},
        {"unknown protocol: POP3, told", "JMAP", std::nullopt, MailProtocol::Pop3, "INBOX",
         "Mailserver [Home]: Protocol 'JMAP' is not known and is ignored: the entry is checked "
         "by POP3"},
    };
    for (const auto& c : cases) {
        const auto [servers, log] = LoadEntry([&](RegistryKey& entry) {
            if (c.protocol)
                entry.SetValue("Protocol", StringValue(*c.protocol));
            if (c.folder)
                entry.SetValue("Folder", StringValue(*c.folder));
        });
        ASSERT_EQ(servers.size(), 1u) << c.name;
        EXPECT_EQ(servers[0].Protocol, c.expectedProtocol) << c.name;
        EXPECT_EQ(servers[0].Folder, c.expectedFolder) << c.name;
        if (c.logged != nullptr) {
            EXPECT_NE(std::find(log.begin(), log.end(), c.logged), log.end()) << c.name;
        }
    }
}

} // namespace
} // namespace vorlane
