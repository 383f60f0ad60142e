// The settings dialog: what it reads, what OK and Cancel store.
#include "SettingsFormFixture.h"

namespace vorlane::test {
namespace {

TEST_F(SettingsFormTest, OpensWithItsInitialStateWithoutASettingsKey)
{
    auto form = Open(std::vector<std::string>{});
    EXPECT_EQ(form->windowTitle(), "Vorlane: Settings");
    EXPECT_EQ(form->size(), QSize(385, 359)) << "the design size, a row taller for the notification";
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->font().family(), QApplication::font().family()) << "the desktop's font";
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
    EXPECT_FALSE(form->UnseenOnlyCheckBox()->isChecked());
    EXPECT_EQ(form->UnseenOnlyCheckBox()->text(), "Announce only messages not seen before");
    EXPECT_TRUE(form->PageControl()
                    ->widget(TSettingsForm::NewMailPage)
                    ->isAncestorOf(form->UnseenOnlyCheckBox()));
    EXPECT_EQ(test::NextTabStop(form->HeadersCheckbox()), form->UnseenOnlyCheckBox());
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
    EXPECT_FALSE(form->DesktopNotificationCheckBox()->isChecked()) << "off until chosen";
    EXPECT_EQ(test::NextTabStop(form->UnseenOnlyCheckBox()), form->DesktopNotificationCheckBox());
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
    form->UnseenOnlyCheckBox()->setChecked(true);
    form->DesktopNotificationCheckBox()->setChecked(true);
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
        {"AnnounceUnseenOnly", BooleanValue(true)},
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
        {"DesktopNotification", BooleanValue(true)},
    };
    EXPECT_EQ(key.Values(), expected);
    ASSERT_EQ(key.SubkeyNames(), std::vector<std::string>{"Home"});
    const RegistryKey* home = key.OpenKey("Home");
    const std::vector<std::pair<std::string, RegistryValue>> entry = {
        {"Username", StringValue("ann")}, {"Server", StringValue("pop.home.example.org")},
        {"Interval", IntegerValue(15)},   {"Password", StringValue("\x39\x3B\x3D")},
        {"Security", IntegerValue(2)}, // a new entry is SSL/TLS on its usual port
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
        key.SetValue("AnnounceUnseenOnly", BooleanValue(true));
        key.SetValue("DesktopNotification", BooleanValue(true));
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
    EXPECT_TRUE(form->UnseenOnlyCheckBox()->isChecked());
    EXPECT_TRUE(form->DesktopNotificationCheckBox()->isChecked());
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

TEST_F(SettingsFormTest, AdvancedPageShowsWhereTheLogGoesWithTheMiddleElidedWhenLong)
{
    const std::string shortName = "/home/ann/.local/state/Vorlane/Vorlane.log";
    auto form = Open({}, shortName);
    EXPECT_EQ(form->LogFileLabel()->text().toStdString(), shortName);

    const std::string longName = "/home/ann/" + std::string(300, 'x') + "/Vorlane.log";
    form = Open({}, longName);
    const QString shown = form->LogFileLabel()->text();
    EXPECT_TRUE(shown.startsWith("/home/ann/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/Vorlane.log")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_LE(form->LogFileLabel()->fontMetrics().horizontalAdvance(shown),
              form->LogFileLabel()->width());
    EXPECT_EQ(form->LogFileLabel()->toolTip().toStdString(), longName);
}

} // namespace
} // namespace vorlane::test
