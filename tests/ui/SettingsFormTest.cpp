#include "ui/SettingsForm.h"

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

namespace vorlane {
namespace {

using test::FocusIn;
using test::FocusOut;
using test::TempDir;

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
std::function<int(QDialog&)> TypeEntry(const std::string& name, const std::string& user = "ann",
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

std::function<int(QDialog&)> Answer(int result)
{
    return [result](QDialog&) { return result; };
}

const char* const kKey = "SOFTWARE\\Mirvo\\Vorlane";

class SettingsFormTest : public testing::Test
{
protected:
    std::unique_ptr<TSettingsForm> Open(std::optional<std::vector<std::string>> entries = {})
    {
        SettingsFormServices services;
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

TEST_F(SettingsFormTest, OpensWithItsInitialStateWithoutASettingsKey)
{
    auto form = Open(std::vector<std::string>{});
    EXPECT_EQ(form->windowTitle(), "Vorlane: Settings");
    EXPECT_EQ(form->size(), QSize(385, 335));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->font().family(), "Verdana");
    EXPECT_TRUE(form->ReadSettingsError().empty());

    const QStringList tabs = {"&New mail", "&Time synchronization", "C&onnection", "Ad&vanced"};
    ASSERT_EQ(form->PageControl()->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(form->PageControl()->tabText(i), tabs[i]);
    EXPECT_EQ(form->PageControl()->currentIndex(), TSettingsForm::NewMailPage);

    auto* list = form->MailServersListView();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    ASSERT_EQ(list->columnCount(), 5);
    const QStringList columns = {"Server Name", "Username", "POP3 Server", "Interval", "Security"};
    const int widths[] = {100, 75, 120, 60, 60};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->headerItem()->text(i), columns[i]);
        EXPECT_EQ(list->columnWidth(i), widths[i]);
    }
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);

    EXPECT_TRUE(form->NewGradBtn()->isEnabled());
    EXPECT_FALSE(form->EditGradBtn()->isEnabled());
    EXPECT_FALSE(form->RemoveGradBtn()->isEnabled());
    EXPECT_TRUE(form->DisplayMessageCheckBox()->isChecked());
    EXPECT_TRUE(form->AutoHideCheckbox()->isChecked());
    EXPECT_EQ(form->AutoHideTimeComboBox()->count(), 14);
    EXPECT_EQ(form->AutoHideTimeComboBox()->currentText(), "3");
    EXPECT_EQ(form->AutoHideCheckbox()->toolTip(), "Automaticly hide the message afther 3 seconds");
    EXPECT_TRUE(form->SystemBeepCheckbox()->isChecked());
    EXPECT_FALSE(form->HeadersCheckbox()->isChecked());
    EXPECT_FALSE(form->PlaySoundCheckBox()->isChecked());
    EXPECT_FALSE(form->SoundEdit()->isEnabled());
    EXPECT_FALSE(form->BrowseSoundGradBtn()->isEnabled());
    EXPECT_FALSE(form->MailClientEdit()->isEnabled());
    EXPECT_FALSE(form->BrowseClientGradBtn()->isEnabled());
    EXPECT_EQ(form->IconClickActionComboBox()->count(), 6);
    EXPECT_EQ(form->IconClickActionComboBox()->currentIndex(), 0);
    EXPECT_EQ(form->IconClickActionComboBox()->itemText(3), "Start mail client & Stop waving");

    EXPECT_FALSE(form->SynchronizeCheckBox()->isChecked());
    EXPECT_TRUE(form->TimeServersComboBox()->currentText().isEmpty());
    EXPECT_EQ(form->TimeServersComboBox()->count(), 12);
    EXPECT_FALSE(form->TimeServersComboBox()->isEnabled());
    EXPECT_FALSE(form->IntervalRadioGroup()->isEnabled());
    EXPECT_EQ(form->IntervalRadioGroup()->title(), " Interval ");
    EXPECT_EQ(form->IntervalButtons()->checkedId(), 0);

    EXPECT_TRUE(form->ConnectionLANRadioButton()->isChecked());
    EXPECT_FALSE(form->ConnectionRASRadioButton()->isEnabled()) << "no phone-book entries";
    EXPECT_FALSE(form->RasConnectionsCheckListBox()->isEnabled());
    EXPECT_EQ(form->ConnectionTimeoutEdit()->text(), "60");
    EXPECT_EQ(form->ConnectionTimeoutUpDown()->Min(), 5);
    EXPECT_EQ(form->ConnectionTimeoutUpDown()->Max(), 600);
    EXPECT_FALSE(form->LogToFileCheckBox()->isChecked());
    EXPECT_EQ(form->LogToFileCheckBox()->text(), "&Log to file vorlane.log");
    EXPECT_EQ(form->StartAtLoginCheckBox()->text(), "Start Vorlane when I log in");
    EXPECT_FALSE(form->StartAtLoginCheckBox()->isChecked()) << "no autostart entry";
    EXPECT_TRUE(form->PageControl()
                    ->widget(TSettingsForm::AdvancedPage)
                    ->isAncestorOf(form->StartAtLoginCheckBox()));
    EXPECT_EQ(test::NextTabStop(form->LogToFileCheckBox()), form->StartAtLoginCheckBox());
    EXPECT_EQ(form->OKGradBtn()->toolTip(), "Save changes and exit");
    EXPECT_EQ(form->CancelGradBtn()->toolTip(), "Lose changes and exit");
    EXPECT_EQ(form->OKGradBtn()->size(), QSize(75, 22));
}

TEST_F(SettingsFormTest, OkWritesEveryValueAndTheRowsAndLeavesOtherValuesAlone)
{
    Seed([](RegistryKey& key) { key.SetValue("LastSynchronizedAt", DateTimeValue(45000.5)); });
    auto form = Open(std::vector<std::string>{"Office", "Home", "Spare"});
    form->DisplayMessageCheckBox()->setChecked(false);
    form->AutoHideTimeComboBox()->setCurrentIndex(11); // 20
    form->PlaySoundCheckBox()->setChecked(true);
    form->SoundEdit()->setText("/usr/share/sounds/ding.wav");
    form->HeadersCheckbox()->setChecked(true);
    form->MailClientEdit()->setText("thunderbird");
    form->SynchronizeCheckBox()->setChecked(true);
    form->TimeServersComboBox()->setEditText("time.example.org");
    form->IntervalButtons()->button(1)->click();
    form->IconClickActionComboBox()->setCurrentIndex(4);
    form->ConnectionTimeoutEdit()->setText("120");
    form->ConnectionRASRadioButton()->setChecked(true);
    form->RasConnectionsCheckListBox()->item(0)->setCheckState(Qt::Checked);
    form->RasConnectionsCheckListBox()->item(2)->setCheckState(Qt::Checked);
    form->LogToFileCheckBox()->setChecked(true);
    answers_.steps = {TypeEntry("Home", "ann", "pop.home.example.org", "15", "abc")};
    form->NewGradBtnClick();

    form->OKGradBtnClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(answers_.shown, std::vector<std::string>{"entry"});

    const RegistryKey key = Stored();
    const std::vector<std::pair<std::string, RegistryValue>> expected = {
        {"LastSynchronizedAt", DateTimeValue(45000.5)},
        {"DisplayMessage", BooleanValue(false)},
        {"AutoHide", BooleanValue(true)},
        {"AutoHideTime", IntegerValue(20)},
        {"SystemBeep", BooleanValue(true)},
        {"PlaySound", BooleanValue(true)},
        {"WaveFile", StringValue("/usr/share/sounds/ding.wav")},
        {"DisplayHeaders", BooleanValue(true)},
        {"StartClient", BooleanValue(false)},
        {"MailClient", StringValue("thunderbird")},
        {"SyncronizeTime", BooleanValue(true)},
        {"LogToFile", BooleanValue(true)},
        {"TimeServer", StringValue("time.example.org")},
        {"TimeSynchronizationInterval", IntegerValue(1)},
        {"IconClickAction", IntegerValue(4)},
        {"ConnectionTimeout", IntegerValue(120)},
        {"ConnectionType", IntegerValue(1)},
        {"RASConnection", StringValue("|Office|Spare")},
    };
    EXPECT_EQ(key.Values(), expected);
    ASSERT_EQ(key.SubkeyNames(), std::vector<std::string>{"Home"});
    const RegistryKey* home = key.OpenKey("Home");
    const std::vector<std::pair<std::string, RegistryValue>> entry = {
        {"Username", StringValue("ann")},
        {"Server", StringValue("pop.home.example.org")},
        {"Interval", IntegerValue(15)},
        {"Password", StringValue("\x39\x3B\x3D")},
    };
    EXPECT_EQ(home->Values(), entry);
}

TEST_F(SettingsFormTest, ReadsEveryStoredValueIntoItsControl)
{
    Seed([](RegistryKey& key) {
        key.SetValue("DisplayMessage", BooleanValue(true));
        key.SetValue("AutoHide", BooleanValue(false));
        key.SetValue("SystemBeep", BooleanValue(false));
        key.SetValue("PlaySound", BooleanValue(true));
        key.SetValue("WaveFile", StringValue("ding.wav"));
        key.SetValue("DisplayHeaders", BooleanValue(true));
        key.SetValue("StartClient", BooleanValue(true));
        key.SetValue("MailClient", StringValue("mutt"));
        key.SetValue("IconClickAction", IntegerValue(5));
        key.SetValue("SyncronizeTime", BooleanValue(true));
        key.SetValue("TimeServer", StringValue("time.nist.gov"));
        key.SetValue("TimeSynchronizationInterval", IntegerValue(7));
        key.SetValue("ConnectionTimeout", IntegerValue(1000));
        key.SetValue("ConnectionType", IntegerValue(1));
        key.SetValue("RASConnection", StringValue("|home|Nowhere"));
        key.SetValue("LogToFile", BooleanValue(true));
    });
    auto form = Open(std::vector<std::string>{"Office", "Home"});
    EXPECT_FALSE(form->AutoHideCheckbox()->isChecked());
    EXPECT_TRUE(form->AutoHideTimeComboBox()->isEnabled()) << "the tick itself enables nothing";
    EXPECT_FALSE(form->SystemBeepCheckbox()->isChecked());
    EXPECT_TRUE(form->SoundEdit()->isEnabled());
    EXPECT_EQ(form->SoundEdit()->text(), "ding.wav");
    EXPECT_TRUE(form->MailClientEdit()->isEnabled());
    EXPECT_EQ(form->MailClientEdit()->text(), "mutt");
    EXPECT_EQ(form->IconClickActionComboBox()->currentText(), "Nothing");
    EXPECT_TRUE(form->TimeServersComboBox()->isEnabled());
    EXPECT_EQ(form->TimeServersComboBox()->currentText(), "time.nist.gov");
    EXPECT_EQ(form->IntervalButtons()->checkedId(), 1) << "above 1 chooses daily";
    EXPECT_EQ(form->ConnectionTimeoutEdit()->text(), "600");
    EXPECT_TRUE(form->ConnectionRASRadioButton()->isChecked());
    EXPECT_TRUE(form->RasConnectionsCheckListBox()->isEnabled());
    EXPECT_EQ(form->RasConnectionsCheckListBox()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(form->RasConnectionsCheckListBox()->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(form->SelectedRasConnections(), "|Home");
    EXPECT_TRUE(form->LogToFileCheckBox()->isChecked());
}

TEST_F(SettingsFormTest, OddStoredNumbersShowAsTheRulesSayAndAreStoredBackSo)
{
    const struct
    {
        std::int32_t autoHideTime;
        const char* shown;
        std::int32_t stored;
    } times[] = {{11, "3", 3}, {15, "15", 15}, {0, "3", 3}, {30, "30", 30}};
    for (const auto& c : times) {
        Seed([&](RegistryKey& key) { key.SetValue("AutoHideTime", IntegerValue(c.autoHideTime)); });
        auto form = Open();
        EXPECT_EQ(form->AutoHideTimeComboBox()->currentText(), c.shown) << c.autoHideTime;
        form->OKGradBtnClick();
        EXPECT_EQ(StoredInteger("AutoHideTime"), c.stored);
    }

    Seed([](RegistryKey& key) {
        key.SetValue("ConnectionType", IntegerValue(2));
        key.SetValue("IconClickAction", IntegerValue(9));
        key.SetValue("TimeSynchronizationInterval", IntegerValue(-1));
    });
    SeedEntry("Zero", "z", 0);
    auto form = Open(std::vector<std::string>{"Office"});
    EXPECT_FALSE(form->ConnectionLANRadioButton()->isChecked());
    EXPECT_FALSE(form->ConnectionRASRadioButton()->isChecked());
    EXPECT_TRUE(form->RasConnectionsCheckListBox()->isEnabled());
    EXPECT_EQ(form->IconClickActionComboBox()->currentIndex(), -1);
    EXPECT_EQ(form->IntervalButtons()->checkedId(), -1);
    EXPECT_EQ(form->MailServersListView()->topLevelItem(0)->text(3), "1");
    form->OKGradBtnClick();
    EXPECT_EQ(StoredInteger("ConnectionType"), 1);
    EXPECT_EQ(StoredInteger("IconClickAction"), -1);
    EXPECT_EQ(StoredInteger("TimeSynchronizationInterval"), -1);
    EXPECT_EQ(ReadInteger(*Stored().OpenKey("Zero")->FindValue("Interval"), "Interval"), 1);
}

TEST_F(SettingsFormTest, AValueOfTheWrongKindIsToldAndOkLosesNoEntry)
{
    // As a user may leave it after editing the file by hand: a text where a number belongs,
    // beside two entries.
    {
        std::ofstream file(store_.Path(), std::ios::binary);
        file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane]\r\n"
                "\"DisplayMessage\"=dword:00000000\r\n\"AutoHideTime\"=\"3\"\r\n"
                "\"SystemBeep\"=dword:00000000\r\n\r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Home]\r\n"
                "\"Server\"=\"pop.home\"\r\n\"Interval\"=\"often\"\r\n\r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vorlane\\Work]\r\n"
                "\"Server\"=\"pop.work\"\r\n";
    }
    auto form = Open();
    const std::string file = store_.Path().string();
    EXPECT_EQ(form->ReadSettingsError(),
              "Vorlane cannot use some of its stored settings:\r\n"
              "Invalid data type for 'AutoHideTime' (" +
                  file +
                  ", line 5)\r\n"
                  "Invalid data type for 'Interval' (" +
                  file +
                  ", line 10)\r\n"
                  "They keep their defaults until you store new ones with OK in the settings.");
    EXPECT_FALSE(form->DisplayMessageCheckBox()->isChecked());
    EXPECT_FALSE(form->SystemBeepCheckbox()->isChecked()) << "read after the broken value";
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"Home", "Work"}));

    form->show();
    QTest::qWait(50);
    ASSERT_EQ(answers_.shown.size(), 1u) << "told once the dialog is on screen";
    EXPECT_EQ(answers_.shown[0], "message: " + form->ReadSettingsError());
    form->OKGradBtnClick();
    EXPECT_EQ(StoredInteger("AutoHideTime"), 3) << "OK stores sound values over the broken one";
    EXPECT_EQ(Stored().SubkeyNames(), (std::vector<std::string>{"Home", "Work"}));
    EXPECT_EQ(ReadInteger(*Stored().OpenKey("Home")->FindValue("Interval"), "Interval"), 10);
    EXPECT_EQ(answers_.shown.size(), 1u);
}

TEST_F(SettingsFormTest, OkOverADamagedFileKeepsItAsideAndStoresANewOne)
{
    const std::string damaged = "REGEDIT4\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Mirvo\\Vor";
    test::WriteFile(store_.Path(), damaged);
    auto form = Open();
    EXPECT_TRUE(form->ReadSettingsError().starts_with("Vorlane cannot read its settings file:\r\n" +
                                                      store_.Path().string() + ":2: "))
        << form->ReadSettingsError();
    answers_.steps = {TypeEntry("Home")};
    form->NewGradBtnClick();
    form->OKGradBtnClick();
    const auto aside = store_.Path().string() + ".damaged";
    EXPECT_EQ(test::ReadFile(aside), damaged) << "the damaged file is kept as it was";
    EXPECT_EQ(Stored().SubkeyNames(), std::vector<std::string>{"Home"});
    ASSERT_FALSE(answers_.shown.empty());
    EXPECT_EQ(answers_.shown.back(),
              "message: The damaged settings file is kept as " + aside + ".");
}

TEST_F(SettingsFormTest, OkNeverDeletesAnEntryTheDialogDidNotShow)
{
    SeedEntry("Home", "ann", 10);
    SeedEntry("Gone", "ann", 10);
    auto form = Open();
    SeedEntry("Later", "bob", 5); // written meanwhile, by hand or by another program
    Select(*form, {0});
    form->RemoveGradBtnClick();
    form->OKGradBtnClick();
    EXPECT_EQ(Stored().SubkeyNames(), (std::vector<std::string>{"Home", "Later"}));
}

TEST_F(SettingsFormTest, CancelWritesNothing)
{
    SeedEntry("Home", "ann", 10);
    const std::string before = test::ReadFile(store_.Path());
    auto form = Open();
    form->LogToFileCheckBox()->setChecked(true);
    Select(*form, {0});
    form->RemoveGradBtnClick();
    QSignalSpy finished(form.get(), &QDialog::finished);
    form->CancelGradBtnClick();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.front().front().toInt(), QDialog::Rejected);
    EXPECT_EQ(test::ReadFile(store_.Path()), before);

    TempDir empty("settings-cancel");
    RegistryStore fresh(empty / "registry.reg", SettingsFileOptions());
    SettingsFormServices services;
    services.listPhoneBookEntries = [] { return std::optional<std::vector<std::string>>(); };
    services.autostartFolder = autostartFolder_;
    TSettingsForm closed(fresh, services);
    QSignalSpy closedFinished(&closed, &QDialog::finished);
    closed.reject();
    ASSERT_EQ(closedFinished.count(), 1);
    EXPECT_EQ(closedFinished.front().front().toInt(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(fresh.Path()));
}

TEST_F(SettingsFormTest, RowsAreSortedAndRemovedOrRenamedEntriesLeaveNothingBehind)
{
    for (const char* name : {"beta", "Alpha", "gamma", "Delta"})
        SeedEntry(name, "u", 10);
    auto form = Open();
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));
    const auto alpha = form->Rows().front();
    EXPECT_EQ(alpha.UserName, "u");
    EXPECT_EQ(alpha.Server, "pop.Alpha.example.org");
    EXPECT_EQ(alpha.Password, "pw-Alpha");
    EXPECT_EQ(alpha.Interval, "10");

    // Rename Delta by removing it and adding it under a new name.
    Select(*form, {2});
    form->RemoveGradBtnClick();
    answers_.steps = {TypeEntry("Epsilon")};
    form->NewGradBtnClick();
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"Alpha", "beta", "Epsilon", "gamma"}));
    form->OKGradBtnClick();
    EXPECT_EQ(Stored().SubkeyNames(),
              (std::vector<std::string>{"Alpha", "beta", "Epsilon", "gamma"}));
}

TEST_F(SettingsFormTest, NewRefusesADuplicateNameWithAQuestion)
{
    SeedEntry("HOME", "ann", 10);
    auto form = Open();

    // Cancel in the question adds nothing.
    answers_.steps = {TypeEntry(" Home "), Answer(QMessageBox::Cancel)};
    form->NewGradBtnClick();
    EXPECT_EQ(Names(*form), std::vector<std::string>{"HOME"});
    EXPECT_EQ(answers_.shown,
              (std::vector<std::string>{"entry", std::string("question: ") + kDuplicateEntryText}));

    // OK reopens the entry dialog holding what was typed; home2 is then added, trimmed.
    answers_.shown.clear();
    std::string reopenedWith;
    answers_.steps = {TypeEntry(" Home ", "bob", "pop.b", "20", "pw"),
                      [](QDialog& dialog) {
                          auto& box = dynamic_cast<QMessageBox&>(dialog);
                          EXPECT_EQ(box.windowTitle(), "Warning");
                          EXPECT_EQ(box.icon(), QMessageBox::Warning);
                          EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
                          return int(QMessageBox::Ok);
                      },
                      [&](QDialog& dialog) {
                          auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
                          reopenedWith = entry.ServerNameEdit()->text().toStdString() + "/" +
                                         entry.UserNameEdit()->text().toStdString() + "/" +
                                         entry.IntervalEdit()->text().toStdString();
                          return TypeEntry(" home2 ", "bob", "pop.b", "20", "pw")(dialog);
                      }};
    form->NewGradBtnClick();
    EXPECT_EQ(reopenedWith, " Home /bob/20");
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"HOME", "home2"}));
    const auto added = form->Rows().back();
    EXPECT_EQ(added.UserName, "bob");
    EXPECT_EQ(added.Server, "pop.b");
    EXPECT_EQ(added.Interval, "20");
    EXPECT_EQ(added.Password, "pw");
}

TEST_F(SettingsFormTest, NewRefusesNamesThatCannotBeStored)
{
    const struct
    {
        const char* typed;
        const char* message;
    } cases[] = {{"   ", kEmptyEntryNameText}, {"home\\work", kInvalidEntryNameText}};
    for (const auto& c : cases) {
        auto form = Open();
        answers_.shown.clear();
        answers_.steps = {TypeEntry(c.typed), Answer(QDialog::Accepted), Answer(QDialog::Rejected)};
        form->NewGradBtnClick();
        EXPECT_EQ(answers_.shown, (std::vector<std::string>{
                                      "entry", std::string("message: ") + c.message, "entry"}))
            << c.typed;
        EXPECT_TRUE(form->Rows().empty());
    }
}

TEST_F(SettingsFormTest, CancelInTheEntryDialogAddsNothing)
{
    auto form = Open();
    answers_.steps = {Answer(QDialog::Rejected)};
    form->NewGradBtnClick();
    EXPECT_TRUE(form->Rows().empty());
}

TEST_F(SettingsFormTest, RemoveTakesEverySelectedRowWithoutAQuestion)
{
    for (const char* name : {"a", "b", "c", "d", "e"})
        SeedEntry(name, "u", 10);
    auto form = Open();
    Select(*form, {0, 2, 3});
    EXPECT_TRUE(form->RemoveGradBtn()->isEnabled());
    EXPECT_TRUE(form->EditGradBtn()->isEnabled());
    form->RemoveGradBtnClick();
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"b", "e"}));
    EXPECT_TRUE(answers_.shown.empty());
    EXPECT_FALSE(form->RemoveGradBtn()->isEnabled()) << "nothing is selected any more";
}

TEST_F(SettingsFormTest, EditChangesTheFirstSelectedRowButNotItsName)
{
    for (const char* name : {"a", "b", "c"})
        SeedEntry(name, "u", 10);
    auto form = Open();
    // Selected last to first: still the top-most selected row is edited.
    form->MailServersListView()->topLevelItem(2)->setSelected(true);
    form->MailServersListView()->topLevelItem(1)->setSelected(true);
    bool nameLocked = false;
    QString nameShown;
    answers_.steps = {[&](QDialog& dialog) {
        auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
        nameLocked = entry.ServerNameEdit()->isReadOnly();
        nameShown = entry.ServerNameEdit()->text();
        EXPECT_EQ(entry.PasswordEdit()->text(), "pw-b");
        EXPECT_EQ(entry.IntervalUpDown()->Position(), 10);
        return TypeEntry("b", "carol", "pop.c", "45", "new")(dialog);
    }};
    form->EditGradBtnClick();
    EXPECT_TRUE(nameLocked);
    EXPECT_EQ(nameShown, "b");
    const auto rows = form->Rows();
    EXPECT_EQ(rows[1].Name, "b");
    EXPECT_EQ(rows[1].UserName, "carol");
    EXPECT_EQ(rows[1].Interval, "45");
    EXPECT_EQ(rows[1].Password, "new");
    EXPECT_EQ(rows[2].UserName, "u");

    // Cancel changes nothing.
    answers_.steps = {[](QDialog& dialog) {
        auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
        entry.UserNameEdit()->setText("dropped");
        return QDialog::Rejected;
    }};
    form->EditGradBtnClick();
    EXPECT_EQ(form->Rows()[1].UserName, "carol");
}

TEST_F(SettingsFormTest, SynchronizingWithoutAServerIsCheckedOnlyOnTheTimePage)
{
    Seed([](RegistryKey& key) {
        key.SetValue("SyncronizeTime", BooleanValue(true));
        key.SetValue("TimeServer", StringValue(""));
    });
    {
        auto form = Open();
        form->OKGradBtnClick();
        EXPECT_EQ(form->result(), QDialog::Accepted) << "OK on the first page saves";
        EXPECT_TRUE(answers_.shown.empty());
    }
    const std::string message = std::string("message: ") + kNoTimeServerText;
    {
        auto form = Open();
        form->PageControl()->setCurrentIndex(TSettingsForm::TimePage);
        EXPECT_TRUE(answers_.shown.empty()) << "entering the page is fine";
        form->PageControl()->setCurrentIndex(TSettingsForm::AdvancedPage);
        EXPECT_EQ(form->PageControl()->currentIndex(), TSettingsForm::TimePage);
        EXPECT_EQ(answers_.shown, std::vector<std::string>{message});

        answers_.shown.clear();
        store_.Modify([](RegistryKey& root) { root.DeleteKey(kKey); });
        form->OKGradBtnClick();
        EXPECT_NE(form->result(), QDialog::Accepted);
        EXPECT_EQ(answers_.shown, std::vector<std::string>{message});
        EXPECT_EQ(store_.Read().OpenKey(kKey), nullptr) << "nothing was written";

        // The focus leaving the page tells, and refuses nothing.
        answers_.shown.clear();
        form->TimeTabSheetExit();
        EXPECT_EQ(answers_.shown, std::vector<std::string>{message});

        // With a server the page may be left.
        answers_.shown.clear();
        form->TimeServersComboBox()->setEditText("time.nist.gov");
        form->PageControl()->setCurrentIndex(TSettingsForm::NewMailPage);
        EXPECT_EQ(form->PageControl()->currentIndex(), TSettingsForm::NewMailPage);
        EXPECT_TRUE(answers_.shown.empty());
    }
}

TEST_F(SettingsFormTest, TheTimeoutFieldPutsThePreviousNumberBack)
{
    const struct
    {
        const char* typed;
        const char* shown;
        int stored;
    } cases[] = {{"abc", "90", 90},   {"0", "90", 90},      {"-4", "90", 90},
                 {"300", "300", 300}, {"2000", "2000", 90}, {"3", "3", 90}};
    for (const auto& c : cases) {
        Seed([](RegistryKey& key) { key.SetValue("ConnectionTimeout", IntegerValue(90)); });
        auto form = Open();
        auto* edit = form->ConnectionTimeoutEdit();
        FocusIn(edit);
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        FocusOut(edit);
        EXPECT_EQ(edit->text(), c.shown) << c.typed;
        form->OKGradBtnClick();
        EXPECT_EQ(StoredInteger("ConnectionTimeout"), c.stored) << "the spin position is stored";
    }
}

TEST_F(SettingsFormTest, EnablingRulesFollowTheirControls)
{
    auto form = Open(std::vector<std::string>{"Office"});
    form->DisplayMessageCheckBox()->click();
    EXPECT_FALSE(form->AutoHideCheckbox()->isEnabled());
    EXPECT_FALSE(form->AutoHideTimeComboBox()->isEnabled());
    EXPECT_FALSE(form->AutoHideSecondsLabel()->isEnabled());
    form->DisplayMessageCheckBox()->click();
    EXPECT_TRUE(form->AutoHideTimeComboBox()->isEnabled());

    form->PlaySoundCheckBox()->click();
    EXPECT_TRUE(form->SoundEdit()->isEnabled());
    EXPECT_TRUE(form->BrowseSoundGradBtn()->isEnabled());
    form->StartMailClientCheckbox()->click();
    EXPECT_TRUE(form->MailClientEdit()->isEnabled());
    EXPECT_TRUE(form->BrowseClientGradBtn()->isEnabled());
    form->SynchronizeCheckBox()->click();
    EXPECT_TRUE(form->TimeServersComboBox()->isEnabled());
    EXPECT_TRUE(form->IntervalRadioGroup()->isEnabled());

    EXPECT_TRUE(form->ConnectionRASRadioButton()->isEnabled());
    form->ConnectionRASRadioButton()->click();
    EXPECT_TRUE(form->RasConnectionsCheckListBox()->isEnabled());
    form->ConnectionLANRadioButton()->click();
    EXPECT_FALSE(form->RasConnectionsCheckListBox()->isEnabled());
    EXPECT_EQ(form->RasConnectionsCheckListBox()->currentRow(), 0);
    EXPECT_EQ(form->RasConnectionsCheckListBox()->item(0)->checkState(), Qt::Unchecked);
}

TEST_F(SettingsFormTest, BrowseButtonsFillTheirFieldsFromTheFileDialog)
{
    const TempDir files("browse");
    test::WriteFile(files / "ding.wav", "RIFF");
    const QString chosen = QString::fromStdString((files / "ding.wav").string());
    auto form = Open();
    form->PlaySoundCheckBox()->click();
    answers_.steps = {[&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.windowTitle(), "Select a wave file");
        EXPECT_EQ(files.nameFilters(), (QStringList{"Wave files (*.wav)", "All Files (*)"}));
        EXPECT_EQ(files.defaultSuffix(), "wav");
        EXPECT_EQ(files.fileMode(), QFileDialog::ExistingFile);
        files.selectFile(chosen);
        static_cast<QDialog&>(files).accept(); // the dialog's own check of the choice
        return files.result();
    }};
    form->BrowseSoundGradBtnClick();
    EXPECT_EQ(form->SoundEdit()->text(), chosen);

    answers_.steps = {[&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.windowTitle(), "Select your favorite mail client");
        EXPECT_EQ(files.nameFilters().value(0), "Executables files (*)");
        return int(QDialog::Rejected);
    }};
    form->MailClientEdit()->setText("kept");
    form->BrowseClientGradBtnClick();
    EXPECT_EQ(form->MailClientEdit()->text(), "kept");
}

TEST_F(SettingsFormTest, SecurityAndPortAreReadShownAndStoredBack)
{
    const struct
    {
        const char* name;
        std::optional<std::int32_t> security, port; // as stored before
        int rowSecurity, rowPort;
        const char* shown;
        std::optional<std::int32_t> storedSecurity, storedPort; // after OK
    } cases[] = {
        {"a-plain", {}, {}, kSecurityNone, 0, "None", {}, {}},
        {"b-stls", 1, {}, kSecuritySTLS, 0, "STLS", 1, {}},
        {"c-tls", 2, {}, kSecurityImplicitTls, 0, "TLS", 2, {}},
        // Unknown settings never mean plain text.
        {"d-unknown", 9, {}, kSecuritySTLS, 0, "STLS", 1, {}},
        {"e-negative", -1, {}, kSecuritySTLS, 0, "STLS", 1, {}},
        // The usual port of the security is not kept; an odd port is.
        {"f-usual", 2, 995, kSecurityImplicitTls, 0, "TLS", 2, {}},
        {"g-own", 2, 2995, kSecurityImplicitTls, 2995, "TLS", 2, 2995},
        {"h-plain-own", 0, 1110, kSecurityNone, 1110, "None", {}, 1110},
        // Ports that are no port numbers mean the usual one.
        {"i-zero", 0, 0, kSecurityNone, 0, "None", {}, {}},
        {"j-too-big", 1, 70000, kSecuritySTLS, 0, "STLS", 1, {}},
    };
    Seed([&](RegistryKey& key) {
        for (const auto& c : cases) {
            auto& entry = key.CreateKey(c.name);
            entry.SetValue("Username", StringValue("u"));
            entry.SetValue("Server", StringValue("pop.example.org"));
            if (c.security)
                entry.SetValue("Security", IntegerValue(*c.security));
            if (c.port)
                entry.SetValue("Port", IntegerValue(*c.port));
        }
    });
    auto form = Open();
    EXPECT_TRUE(form->ReadSettingsError().empty()) << form->ReadSettingsError();
    const auto rows = form->Rows();
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(rows[i].Name, c.name);
        EXPECT_EQ(rows[i].Security, c.rowSecurity) << c.name;
        EXPECT_EQ(rows[i].Port, c.rowPort) << c.name;
        EXPECT_EQ(form->MailServersListView()->topLevelItem(int(i))->text(4), c.shown) << c.name;
    }

    form->OKGradBtnClick();
    ASSERT_EQ(form->result(), QDialog::Accepted);
    const RegistryKey key = Stored();
    for (const auto& c : cases) {
        const RegistryKey* entry = key.OpenKey(c.name);
        ASSERT_NE(entry, nullptr) << c.name;
        const auto* security = entry->FindValue("Security");
        const auto* port = entry->FindValue("Port");
        EXPECT_EQ(security != nullptr, c.storedSecurity.has_value()) << c.name;
        EXPECT_EQ(port != nullptr, c.storedPort.has_value()) << c.name;
        if (security != nullptr && c.storedSecurity) {
            EXPECT_EQ(ReadInteger(*security, "Security"), *c.storedSecurity) << c.name;
        }
        if (port != nullptr && c.storedPort) {
            EXPECT_EQ(ReadInteger(*port, "Port"), *c.storedPort) << c.name;
        }
    }
}

TEST_F(SettingsFormTest, ASecurityOfTheWrongKindIsShownAsStlsNeverAsPlainText)
{
    Seed([](RegistryKey& key) {
        auto& entry = key.CreateKey("Home");
        entry.SetValue("Security", StringValue("tls"));
    });
    auto form = Open();
    EXPECT_NE(form->ReadSettingsError().find("Invalid data type for 'Security' ("),
              std::string::npos);
    ASSERT_EQ(form->Rows().size(), 1u);
    EXPECT_EQ(form->Rows()[0].Security, kSecuritySTLS);
}

TEST_F(SettingsFormTest, APasswordOfAnyBytesSurvivesEditAndOk)
{
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte.push_back(static_cast<char>(b));
    for (const std::string& password : {std::string("caf\xE9"), everyByte}) {
        Seed([&](RegistryKey& key) {
            key.CreateKey("Home").SetValue("Password", StringValue(ScramblePassword(password)));
        });
        auto form = Open();
        Select(*form, {0});
        answers_.steps = {[](QDialog& dialog) {
            auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
            entry.UserNameEdit()->setText("ann"); // another field changes, the password not
            QTest::mouseClick(entry.OKGradBtn(), Qt::LeftButton);
            return entry.result();
        }};
        form->EditGradBtnClick();
        form->OKGradBtnClick();
        const auto key = Stored();
        const auto* stored = key.OpenKey("Home")->FindValue("Password");
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(UnscramblePassword(ReadStringData(*stored, "Password")), password);
    }
}

TEST_F(SettingsFormTest, NewAndEditCarryTheSecurityAndThePort)
{
    auto form = Open();
    const auto typeSecured = [](const char* name, int security, const char* port) {
        return [=](QDialog& dialog) {
            auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
            EXPECT_EQ(entry.Security(), kSecurityNone) << "a new entry starts plain";
            EXPECT_EQ(entry.PortEdit()->text(), "110");
            entry.SecurityComboBox()->setCurrentIndex(security);
            if (port != nullptr)
                entry.PortEdit()->setText(port);
            return TypeEntry(name)(dialog);
        };
    };
    answers_.steps = {typeSecured("Home", kSecurityImplicitTls, "2995")};
    form->NewGradBtnClick();
    answers_.steps = {typeSecured("Work", kSecuritySTLS, nullptr)};
    form->NewGradBtnClick();
    auto rows = form->Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Security, kSecurityImplicitTls);
    EXPECT_EQ(rows[0].Port, 2995);
    EXPECT_EQ(rows[1].Security, kSecuritySTLS);
    EXPECT_EQ(rows[1].Port, 0) << "the usual port follows the security";
    EXPECT_EQ(form->MailServersListView()->topLevelItem(0)->text(4), "TLS");
    EXPECT_EQ(form->MailServersListView()->topLevelItem(1)->text(4), "STLS");

    // Edit shows the row's security and port and takes back what was chosen.
    Select(*form, {0});
    int shownSecurity = -1;
    QString shownPort;
    answers_.steps = {[&](QDialog& dialog) {
        auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
        shownSecurity = entry.SecurityComboBox()->currentIndex();
        shownPort = entry.PortEdit()->text();
        entry.SecurityComboBox()->setCurrentIndex(kSecurityNone);
        EXPECT_EQ(entry.PortEdit()->text(), "2995") << "the entry's own port stays";
        entry.PortEdit()->setText("110");
        return TypeEntry("Home")(dialog);
    }};
    form->EditGradBtnClick();
    EXPECT_EQ(shownSecurity, kSecurityImplicitTls);
    EXPECT_EQ(shownPort, "2995");
    rows = form->Rows();
    EXPECT_EQ(rows[0].Security, kSecurityNone);
    EXPECT_EQ(rows[0].Port, 0);
    EXPECT_EQ(form->MailServersListView()->topLevelItem(0)->text(4), "None");

    // Cancel in Edit changes nothing.
    Select(*form, {1});
    answers_.steps = {[](QDialog& dialog) {
        dynamic_cast<TMailServerSettingsForm&>(dialog).SecurityComboBox()->setCurrentIndex(0);
        return QDialog::Rejected;
    }};
    form->EditGradBtnClick();
    EXPECT_EQ(form->Rows()[1].Security, kSecuritySTLS);

    form->OKGradBtnClick();
    const RegistryKey key = Stored();
    EXPECT_EQ(key.OpenKey("Home")->FindValue("Security"), nullptr) << "plain again";
    EXPECT_EQ(key.OpenKey("Home")->FindValue("Port"), nullptr);
    EXPECT_EQ(ReadInteger(*key.OpenKey("Work")->FindValue("Security"), "Security"), 1);
    EXPECT_EQ(key.OpenKey("Work")->FindValue("Port"), nullptr);
}

TEST_F(SettingsFormTest, StartAtLoginIsTickedWhenTheAutostartEntryExists)
{
    EXPECT_FALSE(Open()->StartAtLoginCheckBox()->isChecked());
    std::filesystem::create_directories(autostartFolder_);
    test::WriteFile(AutostartFile(), "[Desktop Entry]\nType=Application\nExec=elsewhere\n");
    EXPECT_TRUE(Open()->StartAtLoginCheckBox()->isChecked());
}

TEST_F(SettingsFormTest, OkWritesOrRemovesTheAutostartEntry)
{
    {
        auto form = Open();
        form->StartAtLoginCheckBox()->click();
        form->OKGradBtnClick();
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_TRUE(answers_.shown.empty());
    }
    ASSERT_TRUE(std::filesystem::exists(AutostartFile()));
    const std::string written = test::ReadFile(AutostartFile());
    EXPECT_EQ(written, AutostartEntryText(kProgram));
    EXPECT_NE(written.find("\nExec=\"/opt/vorlane 1.0/bin/vorlane\"\n"), std::string::npos)
        << written;
    {
        auto form = Open();
        EXPECT_TRUE(form->StartAtLoginCheckBox()->isChecked());
        form->StartAtLoginCheckBox()->click();
        form->OKGradBtnClick();
        EXPECT_EQ(form->result(), QDialog::Accepted);
    }
    EXPECT_FALSE(std::filesystem::exists(AutostartFile()));
    EXPECT_TRUE(std::filesystem::exists(autostartFolder_)) << "only the entry is removed";
}

TEST_F(SettingsFormTest, CancelAndAnUnchangedTickLeaveTheAutostartEntryAlone)
{
    {
        auto form = Open();
        form->StartAtLoginCheckBox()->click();
        form->CancelGradBtnClick();
    }
    EXPECT_FALSE(std::filesystem::exists(AutostartFile()));

    // An entry the user adjusted stays as it is unless the tick changes.
    std::filesystem::create_directories(autostartFolder_);
    const std::string own = "[Desktop Entry]\nType=Application\nName=Mine\nExec=vorlane\n";
    test::WriteFile(AutostartFile(), own);
    {
        auto form = Open();
        form->StartAtLoginCheckBox()->click();
        form->CancelGradBtnClick();
    }
    EXPECT_EQ(test::ReadFile(AutostartFile()), own);
    {
        auto form = Open();
        form->OKGradBtnClick();
        EXPECT_EQ(form->result(), QDialog::Accepted);
    }
    EXPECT_EQ(test::ReadFile(AutostartFile()), own);
}

TEST_F(SettingsFormTest, AnAutostartEntryThatCannotBeWrittenIsToldAndOkMayTryAgain)
{
    // A file where the configuration folder should be: no user, root included, can write there.
    test::WriteFile(autostartFolder_.parent_path(), "in the way");
    auto form = Open();
    form->LogToFileCheckBox()->setChecked(true);
    form->StartAtLoginCheckBox()->click();
    form->OKGradBtnClick();
    EXPECT_NE(form->result(), QDialog::Accepted) << "the dialog stays open";
    ASSERT_EQ(answers_.shown.size(), 1u);
    EXPECT_EQ(answers_.shown[0].rfind("message: Vorlane could not change whether it starts when "
                                      "you log in. ",
                                      0),
              0u)
        << answers_.shown[0];
    EXPECT_NE(answers_.shown[0].find(autostartFolder_.string()), std::string::npos)
        << "names the file";
    EXPECT_TRUE(ReadBoolean(*Stored().FindValue("LogToFile"), "LogToFile"))
        << "the settings are stored";

    std::filesystem::remove(autostartFolder_.parent_path());
    form->OKGradBtnClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(std::filesystem::exists(AutostartFile()));
}

// The dial-up list from NetworkManager's connection profiles, through the real binding.
TEST_F(SettingsFormTest, DialUpListComesFromNetworkManagerProfiles)
{
    std::string why;
    if (!test::NetworkManagerMock::Available(why))
        GTEST_SKIP() << why;
    test::PrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty());
    test::NetworkManagerMock networkManager(bus.Address());
    ASSERT_TRUE(networkManager.Running());
    const auto openOn = [&](const QString& address) {
        SettingsFormServices services;
        services.listPhoneBookEntries = [address] {
            return RasBinding(address).ListPhoneBookEntries();
        };
        services.runModal = [this](QDialog& dialog) { return answers_(dialog); };
        return std::make_unique<TSettingsForm>(store_, services);
    };

    // NetworkManager without profiles: nothing to choose.
    EXPECT_FALSE(openOn(bus.Address())->ConnectionRASRadioButton()->isEnabled());

    for (const char* id : {"Office", "Home", "Mobile"})
        networkManager.AddProfile(id);
    Seed([](RegistryKey& key) { key.SetValue("RASConnection", StringValue("|mobile")); });
    auto form = openOn(bus.Address());
    auto* list = form->RasConnectionsCheckListBox();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Office");
    EXPECT_EQ(list->item(1)->text(), "Home");
    EXPECT_EQ(list->item(2)->text(), "Mobile");
    EXPECT_TRUE(form->ConnectionRASRadioButton()->isEnabled());
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(form->SelectedRasConnections(), "|Mobile");

    // No bus at all: the dial-up choice is disabled and the list empty.
    const TempDir nowhere("no-bus");
    auto without = openOn(QString::fromStdString("unix:path=" + (nowhere / "none").string()));
    EXPECT_FALSE(without->ConnectionRASRadioButton()->isEnabled());
    EXPECT_EQ(without->RasConnectionsCheckListBox()->count(), 0);
}

} // namespace
} // namespace vorlane
