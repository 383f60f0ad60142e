// The settings dialog's mail server entries: New, Edit, Remove and what they keep.
#include "SettingsFormFixture.h"

namespace vorlane::test {
namespace {

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
            EXPECT_EQ(entry.Security(), kSecurityImplicitTls) << "a new entry starts with TLS";
            EXPECT_EQ(entry.PortEdit()->text(), "995");
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

TEST_F(SettingsFormTest, ImapEntriesKeepTheirProtocolAndFolderAndPop3EntriesStayAsTheyWere)
{
    Seed([](RegistryKey& key) {
        auto& imap = key.CreateKey("Cloud");
        imap.SetValue("Username", StringValue("ann"));
        imap.SetValue("Server", StringValue("imap.example.org"));
        imap.SetValue("Security", IntegerValue(kSecurityImplicitTls));
        imap.SetValue("Port", IntegerValue(993));
        imap.SetValue("Protocol", StringValue("imap"));
        imap.SetValue("Folder", StringValue("Lists"));
        auto& pop = key.CreateKey("Home");
        pop.SetValue("Username", StringValue("ann"));
        pop.SetValue("Server", StringValue("pop.example.org"));
    });
    auto form = Open();
    auto rows = form->Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Protocol, MailProtocol::Imap);
    EXPECT_EQ(rows[0].Folder, "Lists");
    EXPECT_EQ(rows[0].Port, 0) << "993 is the usual port of IMAP over TLS";
    EXPECT_EQ(form->MailServersListView()->topLevelItem(0)->text(4), "IMAP TLS");
    EXPECT_EQ(rows[1].Protocol, MailProtocol::Pop3);
    EXPECT_EQ(form->MailServersListView()->topLevelItem(1)->text(4), "None");

    // Edit shows the protocol and folder and takes back what was chosen.
    Select(*form, {0});
    QString shownFolder;
    answers_.steps = {[&](QDialog& dialog) {
        auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
        EXPECT_EQ(entry.Protocol(), MailProtocol::Imap);
        EXPECT_EQ(entry.PortEdit()->text(), "993");
        shownFolder = entry.FolderEdit()->text();
        entry.FolderEdit()->setText("INBOX/Club");
        return TypeEntry("Cloud")(dialog);
    }};
    form->EditGradBtnClick();
    EXPECT_EQ(shownFolder, "Lists");
    // A new IMAP entry with STARTTLS on its usual port.
    answers_.steps = {[](QDialog& dialog) {
        auto& entry = dynamic_cast<TMailServerSettingsForm&>(dialog);
        entry.ProtocolComboBox()->setCurrentIndex(1);
        entry.SecurityComboBox()->setCurrentIndex(kSecuritySTLS);
        EXPECT_EQ(entry.PortEdit()->text(), "143");
        return TypeEntry("Work")(dialog);
    }};
    form->NewGradBtnClick();

    form->OKGradBtnClick();
    const RegistryKey key = Stored();
    const auto text = [&](const char* entry, const char* value) -> std::optional<std::string> {
        const auto* found = key.OpenKey(entry)->FindValue(value);
        if (found == nullptr)
            return std::nullopt;
        return ReadString(*found, value);
    };
    EXPECT_EQ(text("Cloud", "Protocol"), "IMAP");
    EXPECT_EQ(text("Cloud", "Folder"), "INBOX/Club");
    EXPECT_EQ(key.OpenKey("Cloud")->FindValue("Port"), nullptr);
    EXPECT_EQ(text("Work", "Protocol"), "IMAP");
    EXPECT_EQ(text("Work", "Folder"), "INBOX");
    EXPECT_EQ(key.OpenKey("Work")->FindValue("Port"), nullptr);
    EXPECT_EQ(text("Home", "Protocol"), std::nullopt) << "POP3 entries store no protocol";
    EXPECT_EQ(text("Home", "Folder"), std::nullopt);
}

TEST_F(SettingsFormTest, InTheListEnterAndADoubleClickEditAndDeleteRemoves)
{
    for (const char* name : {"a", "b", "c"})
        SeedEntry(name, "u", 10);
    auto form = Open();
    form->show();
    auto* list = form->MailServersListView();
    Select(*form, {1});
    list->setCurrentItem(list->topLevelItem(1));
    answers_.steps = {Answer(QDialog::Rejected), Answer(QDialog::Rejected)};
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(answers_.shown, std::vector<std::string>{"entry"});
    EXPECT_TRUE(form->isVisible()) << "Enter in the list does not close the dialog";
    const auto where = list->visualItemRect(list->topLevelItem(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where); // as the first click of two
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
    EXPECT_EQ(answers_.shown, (std::vector<std::string>{"entry", "entry"}));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Names(*form), (std::vector<std::string>{"a", "c"}));
}

} // namespace
} // namespace vorlane::test
