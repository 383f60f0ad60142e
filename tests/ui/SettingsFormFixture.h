#pragma once

// The settings dialog opened over a registry file of its own, with its windows answered in place
// of the user.
#include "DialogTestSupport.h"
#include "config/PasswordScrambler.h"
#include "config/RegistryError.h"
#include "config/RegistryValue.h"
#include "mail/MailServer.h"
#include "net/RasBinding.h"
#include "servers/NetworkManagerMock.h"
#include "support/TempDir.h"
#include "ui/MailServerSettingsForm.h"
#include "ui/MessageForm.h"
#include "ui/SettingsForm.h"
#include "ui/SettingsRules.h"
#include "ui/UpDown.h"
#include "ui/gradbtn/GradBtn.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vorlane::test {

// Answers the dialog's own windows in place of the user, one scripted step per window, and
// records what each window said.
struct Answers
{
    std::deque<std::function<int(QDialog&)>> steps;
    std::vector<std::string> shown; // "message: <text>", "question: <text>", "entry", "file"

    int operator()(QDialog& dialog)
    {
        if (auto* message = qobject_cast<TMessageForm*>(&dialog))
            shown.push_back("message: " + message->MessageLabel()->text().toStdString());
        else if (auto* question = qobject_cast<QMessageBox*>(&dialog))
            shown.push_back("question: " + question->text().toStdString());
        else if (qobject_cast<TMailServerSettingsForm*>(&dialog))
            shown.push_back("entry");
        else
            shown.push_back("file");
        if (steps.empty())
            return 0;
        auto step = std::move(steps.front());
        steps.pop_front();
        return step(dialog);
    }
};

// Types an entry into the entry dialog and presses OK.
inline std::function<int(QDialog&)> TypeEntry(const std::string& name,
                                              const std::string& user = "ann",
                                              const std::string& server = "pop.example.org",
                                              const std::string& interval = "10",
                                              const std::string& password = "secret")
{
    return [=](QDialog& dialog) {
        auto& form = dynamic_cast<TMailServerSettingsForm&>(dialog);
        form.ServerNameEdit()->setText(QString::fromStdString(name));
        form.UserNameEdit()->setText(QString::fromStdString(user));
        form.POP3ServerEdit()->setText(QString::fromStdString(server));
        form.PasswordEdit()->setText(QString::fromStdString(password));
        FocusIn(form.IntervalEdit());
        form.IntervalEdit()->setText(QString::fromStdString(interval));
        FocusOut(form.IntervalEdit());
        QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton);
        return form.result();
    };
}

inline std::function<int(QDialog&)> Answer(int result)
{
    return [result](QDialog&) { return result; };
}

inline const char* const kKey = "SOFTWARE\\Mirvo\\Vorlane";

class SettingsFormTest : public testing::Test
{
protected:
    std::unique_ptr<TSettingsForm> Open(std::optional<std::vector<std::string>> entries = {},
                                        std::string logFileName = "/tmp/Vorlane.log")
    {
        SettingsFormServices services;
        services.logFileName = std::move(logFileName);
        services.listPhoneBookEntries = [entries] { return entries; };
        services.runModal = [this](QDialog& dialog) { return answers_(dialog); };
        services.executablePath = kProgram;
        services.autostartFolder = autostartFolder_;
        return std::make_unique<TSettingsForm>(store_, services);
    }

    std::filesystem::path AutostartFile() const { return autostartFolder_ / "vorlane.desktop"; }

    void Seed(const std::function<void(RegistryKey&)>& fill)
    {
        store_.Modify([&](RegistryKey& root) { fill(root.CreateKey(kKey)); });
    }

    void SeedEntry(const std::string& name, const std::string& user, std::int32_t interval)
    {
        Seed([&](RegistryKey& key) {
            auto& entry = key.CreateKey(name);
            entry.SetValue("Username", StringValue(user));
            entry.SetValue("Server", StringValue("pop." + name + ".example.org"));
            entry.SetValue("Interval", IntegerValue(interval));
            entry.SetValue("Password", StringValue(ScramblePassword("pw-" + name)));
        });
    }

    RegistryKey Stored() const
    {
        const RegistryKey root = store_.Read();
        const RegistryKey* key = root.OpenKey(kKey);
        return key != nullptr ? *key : RegistryKey();
    }

    std::int32_t StoredInteger(const char* name) const
    {
        const auto key = Stored();
        const auto* value = key.FindValue(name);
        EXPECT_NE(value, nullptr) << name;
        return value != nullptr ? ReadInteger(*value, name) : -99;
    }

    std::string StoredString(const char* name) const
    {
        const auto key = Stored();
        const auto* value = key.FindValue(name);
        EXPECT_NE(value, nullptr) << name;
        return value != nullptr ? ReadString(*value, name) : "<absent>";
    }

    static std::vector<std::string> Names(const TSettingsForm& form)
    {
        std::vector<std::string> names;
        for (const auto& row : form.Rows())
            names.push_back(row.Name);
        return names;
    }

    static void Select(TSettingsForm& form, std::initializer_list<int> rows)
    {
        form.MailServersListView()->clearSelection();
        for (int row : rows)
            form.MailServersListView()->topLevelItem(row)->setSelected(true);
    }

    static constexpr const char* kProgram = "/opt/vorlane 1.0/bin/vorlane";
    TempDir dir_{"settings-form"};
    RegistryStore store_{dir_ / "registry.reg", SettingsFileOptions()};
    std::filesystem::path autostartFolder_ = dir_ / "config" / "autostart";
    Answers answers_;
};

} // namespace vorlane::test
