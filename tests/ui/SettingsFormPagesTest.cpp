// The settings dialog's pages: their rules, fields, file choices, dial-up list and start at login.
#include "SettingsFormFixture.h"

namespace vorlane::test {
namespace {

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
} // namespace vorlane::test
