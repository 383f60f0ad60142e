// The settings dialog (every page), the mail server entry dialog and the about box, as a user
// sees them when they open, with a few entries (plain and secured) and dial-up connections filled
// in.
#include "Gallery.h"
#include "config/SettingsStore.h"
#include "mail/MailServer.h"
#include "ui/AboutForm.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/SettingsForm.h"
#include "ui/UpDown.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>

namespace vorlane::gallery {

namespace {

QImage Opened(QDialog& dialog)
{
    dialog.show();
    QApplication::processEvents();
    QImage image = Grab(dialog);
    dialog.hide();
    return image;
}

void SeedSettings(RegistryStore& store)
{
    store.Modify([](RegistryKey& root) {
        auto& key = root.CreateKey(kSettingsKey);
        key.SetValue("PlaySound", BooleanValue(true));
        key.SetValue("WaveFile", StringValue("/usr/share/sounds/freedesktop/stereo/message.oga"));
        key.SetValue("SyncronizeTime", BooleanValue(true));
        key.SetValue("TimeServer", StringValue("time.nist.gov"));
        key.SetValue("ConnectionType", IntegerValue(1));
        key.SetValue("RASConnection", StringValue("|Mobile"));
        const struct
        {
            const char* name;
            const char* user;
            const char* server;
            int interval;
            int security;
        } entries[] = {{"Home", "ann", "pop.example.org", 10, kSecurityImplicitTls},
                       {"work", "ann.example", "mail.example.com", 5, kSecuritySTLS},
                       {"Club", "secretary", "192.0.2.17", 60, kSecurityNone}};
        for (const auto& e : entries) {
            auto& entry = key.CreateKey(e.name);
            entry.SetValue("Username", StringValue(e.user));
            entry.SetValue("Server", StringValue(e.server));
            entry.SetValue("Interval", IntegerValue(e.interval));
            if (e.security != kSecurityNone)
                entry.SetValue("Security", IntegerValue(e.security));
        }
    });
}

} // namespace

void AddDialogShots(Shots& shots)
{
    {
        TMailServerSettingsForm form;
        form.ResetFields();
        shots.push_back({"MailServerSettingsForm-new", Opened(form)});
    }
    {
        TMailServerSettingsForm form;
        form.ServerNameEdit()->setText("Home");
        form.UserNameEdit()->setText("ann");
        form.PasswordEdit()->setText("secret");
        form.POP3ServerEdit()->setText("pop.example.org");
        form.IntervalUpDown()->SetPosition(15);
        form.SetServerNameReadOnly(true);
        shots.push_back({"MailServerSettingsForm-edit", Opened(form)});
    }
    {
        TMailServerSettingsForm form;
        form.ServerNameEdit()->setText("work");
        form.UserNameEdit()->setText("ann.example");
        form.PasswordEdit()->setText("secret");
        form.POP3ServerEdit()->setText("mail.example.com");
        form.SetSecurity(kSecurityImplicitTls);
        form.IntervalUpDown()->SetPosition(5);
        form.SetServerNameReadOnly(true);
        shots.push_back({"MailServerSettingsForm-edit-tls", Opened(form)});
    }
    {
        QTemporaryDir folder;
        RegistryStore store((folder.path() + "/registry.reg").toStdString(), SettingsFileOptions());
        SeedSettings(store);
        SettingsFormServices services;
        services.listPhoneBookEntries = [] {
            return std::optional<std::vector<std::string>>({"Office", "Home", "Mobile"});
        };
        services.autostartFolder = (folder.path() + "/autostart").toStdString();
        services.executablePath = "/usr/local/bin/vorlane";
        TSettingsForm form(store, services);
        form.StartAtLoginCheckBox()->setChecked(true);
        form.MailServersListView()->topLevelItem(1)->setSelected(true);
        const char* pages[] = {"new-mail", "time", "connection", "advanced"};
        for (int page = 0; page < form.PageControl()->count(); ++page) {
            form.PageControl()->setCurrentIndex(page);
            shots.push_back(
                {QString("SettingsForm-%1-%2").arg(page + 1).arg(pages[page]), Opened(form)});
        }
        // The list scrolled to its right end, where each entry's security shows.
        form.PageControl()->setCurrentIndex(TSettingsForm::NewMailPage);
        form.show();
        QApplication::processEvents();
        auto* scroll = form.MailServersListView()->horizontalScrollBar();
        scroll->setValue(scroll->maximum());
        shots.push_back({"SettingsForm-1-new-mail-security", Opened(form)});
    }
    {
        QTemporaryDir folder;
        RegistryStore store((folder.path() + "/registry.reg").toStdString(), SettingsFileOptions());
        SettingsFormServices services;
        services.listPhoneBookEntries = [] { return std::optional<std::vector<std::string>>(); };
        services.autostartFolder = (folder.path() + "/autostart").toStdString();
        TSettingsForm form(store, services);
        form.PageControl()->setCurrentIndex(TSettingsForm::ConnectionPage);
        shots.push_back({"SettingsForm-connection-without-networkmanager", Opened(form)});
    }
    {
        TAboutForm form(nullptr, [](const QUrl&) {});
        shots.push_back({"AboutForm", Opened(form)});
    }
}

} // namespace vorlane::gallery
