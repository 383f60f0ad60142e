// Entry passwords in a real Secret Service: gnome-keyring-daemon on the private session bus this
// program runs on (dbus-run-session, see CMakeLists.txt), and the same without any.
#include "app/ControllerFixture.h"
#include "config/PasswordScrambler.h"
#include "config/SettingsTable.h"
#include "net/KeychainPasswordStore.h"
#include "servers/Dovecot.h"
#include "servers/GnomeKeyring.h"
#include "servers/ScriptedServer.h"
#include "ui/EntryNotes.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/SettingsForm.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ControllerFixture;
using test::GnomeKeyring;

constexpr auto kLimit = std::chrono::milliseconds(20000);
const std::string kPassword = "Tr0ub4dor&3-keyring";

#define REQUIRE_KEYRING()                                                                          \
    do {                                                                                           \
        std::string why;                                                                           \
        if (!GnomeKeyring::Available(why))                                                         \
            GTEST_SKIP() << why;                                                                   \
    } while (false)

// The settings dialog over the fixture's file, its entry dialog answered by typing an entry.
struct SettingsRun
{
    ControllerFixture& f;
    PasswordStore& passwords;
    bool scrambledNoteShown = false;

    void AddEntryAndPressOk(const std::string& server, int port)
    {
        SettingsFormServices services;
        services.listPhoneBookEntries = [] { return std::nullopt; };
        services.autostartFolder = f.dir / "autostart";
        services.passwords = &passwords;
        services.runModal = [&](QDialog& dialog) {
            auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
            scrambledNoteShown = entry.Notes()->ScrambledNote()->isVisibleTo(&entry);
            entry.ServerNameEdit()->setText("Home");
            entry.UserNameEdit()->setText("joe");
            entry.POP3ServerEdit()->setText(QString::fromStdString(server));
            entry.PasswordEdit()->setText(QString::fromStdString(kPassword));
            entry.SecurityComboBox()->setCurrentIndex(kSecurityNone);
            entry.PortEdit()->setText(QString::number(port));
            entry.OKGradBtnClick();
            return entry.result();
        };
        TSettingsForm form(f.store, services);
        form.NewGradBtnClick();
        form.OKGradBtnClick();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
    // Settings opened and closed with OK, nothing changed.
    void PressOk()
    {
        SettingsFormServices services;
        services.listPhoneBookEntries = [] { return std::nullopt; };
        services.autostartFolder = f.dir / "autostart";
        services.passwords = &passwords;
        TSettingsForm form(f.store, services);
        form.OKGradBtnClick();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
};

std::string FileText(const ControllerFixture& f)
{
    return test::ReadFile(f.dir / "registry.reg");
}

bool Holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(Keyring, KeepsBytesUnderTheEntrysUserAndHostAndForgetsThem)
{
    REQUIRE_KEYRING();
    GnomeKeyring keyring;
    ASSERT_TRUE(keyring.Running());
    KeychainPasswordStore store;
    EXPECT_TRUE(store.Answers(kLimit));
    const PasswordKey key{"joe", "pop.example.org"};
    EXPECT_EQ(store.Read(key, kLimit).Status, KeyringStatus::NotFound);
    const std::string bytes = "p\xE4ss \x01word"; // an imported Windows password need not be UTF-8
    EXPECT_EQ(store.Write(key, bytes, kLimit).Status, KeyringStatus::Done);
    const auto read = store.Read(key, kLimit);
    EXPECT_EQ(read.Status, KeyringStatus::Done);
    EXPECT_EQ(read.Password, bytes);
    EXPECT_EQ(store.Read({"joe", "other.example.org"}, kLimit).Status, KeyringStatus::NotFound);
    EXPECT_EQ(store.Remove(key, kLimit).Status, KeyringStatus::Done);
    EXPECT_EQ(store.Read(key, kLimit).Status, KeyringStatus::NotFound);
}

TEST(Keyring, SettingsOkLeavesNoPasswordInTheFileAndThePollReadsTheKeyring)
{
    REQUIRE_KEYRING();
    REQUIRE_DOVECOT();
    GnomeKeyring keyring;
    ASSERT_TRUE(keyring.Running());
    test::Dovecot server;
    server.AddUser("joe", kPassword);
    server.AddMessage("joe", "Ann", "Hello");
    server.Start();
    KeychainPasswordStore passwords;
    ControllerFixture f;
    f.Store({}); // the log on, no entries yet

    SettingsRun settings{f, passwords};
    settings.AddEntryAndPressOk("127.0.0.1", server.Port());
    EXPECT_FALSE(settings.scrambledNoteShown) << "a keyring answers";
    const auto file = FileText(f);
    EXPECT_FALSE(Holds(file, kPassword)) << file;
    EXPECT_FALSE(Holds(file, ScramblePassword(kPassword))) << file;
    EXPECT_FALSE(Holds(file, "\"Password\"")) << file;
    EXPECT_TRUE(Holds(file, "\"PasswordInKeyring\"=dword:00000001")) << file;
    EXPECT_EQ(passwords.Read({"joe", "127.0.0.1"}, kLimit).Password, kPassword);
    EXPECT_EQ(keyring.Lookup("Vorlane", "joe@127.0.0.1"), kPassword) << "as the desktop shows it";

    f.passwords = &passwords;
    auto& controller = f.Create(server.Port());
    EXPECT_TRUE(f.desktop.messages.empty())
        << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
    ASSERT_EQ(controller.MailServers().size(), 1u);
    EXPECT_EQ(controller.MailServers()[0].MessageCount, 1);
    EXPECT_TRUE(f.Logged("Mailserver [Home]: Password ******** (in the keyring)"));
    EXPECT_FALSE(Holds(test::ReadFile(f.dir / "Vorlane.log"), kPassword));

    // OK again, nothing typed: the password stays in the keyring, unread and untouched.
    settings.PressOk();
    EXPECT_EQ(FileText(f), file);
    EXPECT_EQ(passwords.Read({"joe", "127.0.0.1"}, kLimit).Password, kPassword);
}

TEST(Keyring, APasswordOfAnImportedFileMovesIntoTheKeyringAtTheNextSave)
{
    REQUIRE_KEYRING();
    GnomeKeyring keyring;
    ASSERT_TRUE(keyring.Running());
    KeychainPasswordStore passwords;
    ControllerFixture f;
    f.Store({{"Home", "joe", "pop.example.org", "10", kPassword}}); // as the Windows program
    ASSERT_TRUE(Holds(FileText(f), "\"Password\""));

    SettingsRun{f, passwords}.PressOk();
    const auto file = FileText(f);
    EXPECT_FALSE(Holds(file, "\"Password\"")) << file;
    EXPECT_FALSE(Holds(file, ScramblePassword(kPassword))) << file;
    EXPECT_EQ(passwords.Read({"joe", "pop.example.org"}, kLimit).Password, kPassword);
}

// What happens to the keyring between the settings and the poll. Each case runs in a process of
// its own: libsecret keeps its connection to the Secret Service for the life of the process.
struct KeyringTrouble
{
    const char* name;
    void (*act)(GnomeKeyring&);
    const char* report; // its beginning, after the first line
};

class KeyringTroubleTest : public testing::TestWithParam<KeyringTrouble>
{};

TEST_P(KeyringTroubleTest, FailsThePollWithAClearReportAndKeepsTheEntry)
{
    REQUIRE_KEYRING();
    const auto& c = GetParam();
    GnomeKeyring keyring;
    ASSERT_TRUE(keyring.Running());
    KeychainPasswordStore passwords;
    ControllerFixture f;
    f.Store({}, ControllerFixture::LoggingSettings(3));
    SettingsRun{f, passwords}.AddEntryAndPressOk("127.0.0.1", test::UnusedPort());
    const auto file = FileText(f);
    c.act(keyring);

    f.passwords = &passwords;
    QElapsedTimer clock;
    clock.start();
    auto& controller = f.Create(test::UnusedPort());
    EXPECT_LT(clock.elapsed(), 10000) << "the poll's time-out covers the keyring";
    ASSERT_EQ(f.desktop.messages.size(), 1u);
    EXPECT_TRUE(f.desktop.messages[0].starts_with(
        std::string("Error while communicating with 'Home'\r\n") + c.report))
        << f.desktop.messages[0];
    ASSERT_EQ(controller.MailServers().size(), 1u);
    EXPECT_TRUE(controller.MailServers()[0].Failed);
    EXPECT_EQ(FileText(f), file) << "the entry is kept as it was";
    EXPECT_FALSE(f.Logged("POP3 OUT: USER joe"));
    keyring.Resume();
}

INSTANTIATE_TEST_SUITE_P(
    Keyring, KeyringTroubleTest,
    testing::Values(
        KeyringTrouble{"Locked", [](GnomeKeyring& k) { k.Lock(); },
                       "The keyring that keeps the password of this entry stayed locked."},
        KeyringTrouble{"Gone", [](GnomeKeyring& k) { k.Stop(); },
                       "The password of this entry is kept in the desktop's keyring, and no "
                       "keyring answers now."},
        KeyringTrouble{"Slow", [](GnomeKeyring& k) { k.Pause(); },
                       "A timeout error occured while  reading the password from the keyring."}),
    [](const testing::TestParamInfo<KeyringTrouble>& info) { return info.param.name; });

TEST(NoSecretService, ThePasswordStaysScrambledInTheFileAndPollingWorksFromIt)
{
    REQUIRE_KEYRING(); // the same private bus, with no keyring started on it
    REQUIRE_DOVECOT();
    test::Dovecot server;
    server.AddUser("joe", kPassword);
    server.Start();
    KeychainPasswordStore passwords;
    EXPECT_FALSE(passwords.Answers(kLimit));
    ControllerFixture f;
    f.Store({});
    SettingsRun settings{f, passwords};
    settings.AddEntryAndPressOk("127.0.0.1", server.Port());
    EXPECT_TRUE(settings.scrambledNoteShown);
    const auto file = FileText(f);
    EXPECT_TRUE(Holds(file, "\"Password\"")) << file;
    EXPECT_FALSE(Holds(file, "PasswordInKeyring")) << file;
    EXPECT_FALSE(Holds(file, kPassword)) << "scrambled, as always";

    f.passwords = &passwords;
    auto& controller = f.Create(server.Port());
    EXPECT_TRUE(f.desktop.messages.empty())
        << (f.desktop.messages.empty() ? "" : f.desktop.messages[0]);
    EXPECT_FALSE(controller.MailServers()[0].Failed);
}

} // namespace
} // namespace vorlane
