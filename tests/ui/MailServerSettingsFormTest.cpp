#include "ui/MailServerSettingsForm.h"

#include "DialogTestSupport.h"
#include "mail/MailServer.h"
#include "ui/EntryNotes.h"
#include "ui/UpDown.h"
#include "ui/gradbtn/GradBtn.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::FocusIn;
using test::FocusOut;
using test::NextTabStop;

TEST(MailServerSettingsForm, OpensWithItsFieldsHintsAndButtons)
{
    TMailServerSettingsForm form;
    EXPECT_EQ(form.windowTitle(), "Mail server settings");
    // Four rows taller than the plain POP3 dialog: protocol, security, port and folder sit below
    // the POP3 server.
    EXPECT_EQ(form.size(), QSize(218, 235));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().family(), QApplication::font().family()) << "the desktop's font";
    EXPECT_EQ(form.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.IntervalEdit()->text(), "10");
    EXPECT_EQ(form.IntervalUpDown()->Min(), 1);
    EXPECT_EQ(form.IntervalUpDown()->Max(), 32000);
    EXPECT_EQ(form.IntervalUpDown()->Position(), 10);
    EXPECT_EQ(form.ServerNameEdit()->toolTip(), "Friendly name for this mailserver");
    EXPECT_EQ(form.POP3ServerEdit()->toolTip(), "'IP adres' or 'DNS name' of this mailserver");
    EXPECT_EQ(form.OKGradBtn()->Caption(), "OK");
    EXPECT_EQ(form.OKGradBtn()->toolTip(), "Save changes and exit");
    EXPECT_EQ(form.CancelGradBtn()->toolTip(), "Lose changes and exit");
    EXPECT_EQ(form.OKGradBtn()->size(), QSize(75, 22));
    EXPECT_EQ(form.OKGradBtn()->BeginColor(), 0xCECECEu);
    EXPECT_EQ(form.OKGradBtn()->font().family(), "Verdana");
    EXPECT_TRUE(form.OKGradBtn()->font().bold());
    EXPECT_FALSE(form.OKGradBtn()->isEnabled());
    // Keyboard order: OK, Cancel, then the fields from top to bottom (the folder, enabled only
    // for IMAP, is passed over while disabled).
    EXPECT_FALSE(form.FolderEdit()->isEnabled());
    const QWidget* order[] = {
        form.OKGradBtn(),        form.CancelGradBtn(),    form.ServerNameEdit(),
        form.UserNameEdit(),     form.PasswordEdit(),     form.POP3ServerEdit(),
        form.ProtocolComboBox(), form.SecurityComboBox(), form.PortEdit(),
        form.FolderEdit(),       form.IntervalEdit(),     form.OKGradBtn()};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(NextTabStop(order[i]), order[i + 1]) << i;
}

TEST(MailServerSettingsForm, SecurityAndPortSitBelowThePop3ServerInTheSameLook)
{
    TMailServerSettingsForm form;
    auto* security = form.SecurityComboBox();
    ASSERT_EQ(security->count(), 3);
    EXPECT_EQ(security->itemText(0), "None");
    EXPECT_EQ(security->itemText(1), "STARTTLS (STLS)");
    EXPECT_EQ(security->itemText(2), "SSL/TLS");
    EXPECT_FALSE(security->isEditable());
    // TLS first: a new entry never sends its password in plain text.
    EXPECT_EQ(security->currentIndex(), 2);
    EXPECT_EQ(form.Security(), kSecurityImplicitTls);
    EXPECT_EQ(form.PortEdit()->text(), "995");
    EXPECT_EQ(form.Port(), 995);
    EXPECT_FALSE(security->toolTip().isEmpty());
    EXPECT_FALSE(form.PortEdit()->toolTip().isEmpty());

    // One column of fields, each a row below the one before, none overlapping.
    const QWidget* column[] = {form.ServerNameEdit(), form.UserNameEdit(),     form.PasswordEdit(),
                               form.POP3ServerEdit(), form.ProtocolComboBox(), security,
                               form.PortEdit(),       form.FolderEdit(),       form.IntervalEdit()};
    for (std::size_t i = 0; i < std::size(column); ++i) {
        EXPECT_EQ(column[i]->x(), form.ServerNameEdit()->x()) << i;
        EXPECT_EQ(column[i]->height(), form.ServerNameEdit()->height()) << i;
        if (i > 0) {
            EXPECT_EQ(column[i]->y() - column[i - 1]->y(), 21) << i;
        }
    }
    EXPECT_EQ(security->width(), form.POP3ServerEdit()->width());
    EXPECT_EQ(form.PortEdit()->width(), form.IntervalEdit()->width());
    // The separator and the buttons moved down with the fields and stay inside the window.
    EXPECT_GT(form.Bevel()->y(), form.IntervalEdit()->geometry().bottom());
    EXPECT_GT(form.OKGradBtn()->y(), form.Bevel()->y());
    EXPECT_LE(form.OKGradBtn()->geometry().bottom(), form.height() - 1);
    EXPECT_EQ(form.OKGradBtn()->y(), form.CancelGradBtn()->y());
}

TEST(MailServerSettingsForm, ImapTakesItsPortsCaptionAndFolder)
{
    TMailServerSettingsForm form;
    form.ResetFields();
    auto* protocol = form.ProtocolComboBox();
    ASSERT_EQ(protocol->count(), 2);
    EXPECT_EQ(protocol->itemText(0), "POP3");
    EXPECT_EQ(protocol->itemText(1), "IMAP");
    EXPECT_EQ(form.Protocol(), MailProtocol::Pop3);
    const auto serverCaption = [&]() -> QString {
        for (auto* label : form.findChildren<QLabel*>())
            if (label->buddy() == form.POP3ServerEdit())
                return label->text();
        return {};
    };
    EXPECT_EQ(serverCaption(), "P&OP3 Server:");

    const struct
    {
        int protocol;
        int security;
        const char* port;
    } steps[] = {{1, 2, "993"}, {1, 1, "143"}, {1, 0, "143"},
                 {0, 0, "110"}, {0, 2, "995"}, {1, 2, "993"}};
    for (const auto& step : steps) {
        protocol->setCurrentIndex(step.protocol);
        form.SecurityComboBox()->setCurrentIndex(step.security);
        EXPECT_EQ(form.PortEdit()->text(), step.port) << step.protocol << " " << step.security;
    }
    EXPECT_EQ(form.Protocol(), MailProtocol::Imap);
    EXPECT_EQ(serverCaption(), "IM&AP Server:");
    EXPECT_TRUE(form.FolderEdit()->isEnabled());
    EXPECT_EQ(form.Folder(), "INBOX");
    form.FolderEdit()->setText("  Lists/Vorlane ");
    EXPECT_EQ(form.Folder(), "Lists/Vorlane");
    form.FolderEdit()->setText("  ");
    EXPECT_EQ(form.Folder(), "INBOX") << "a blank folder is the inbox";

    // A port the user typed stays when the protocol changes.
    form.PortEdit()->setText("10993");
    protocol->setCurrentIndex(0);
    EXPECT_EQ(form.PortEdit()->text(), "10993");
    EXPECT_FALSE(form.FolderEdit()->isEnabled());
}

TEST(MailServerSettingsForm, ChoosingASecurityFillsInItsUsualPortUnlessAnotherWasTyped)
{
    const struct
    {
        int from;
        const char* port; // in the field before the change
        int to;
        const char* shown;
    } cases[] = {
        {kSecurityNone, "110", kSecurityImplicitTls, "995"},
        {kSecurityImplicitTls, "995", kSecurityNone, "110"},
        {kSecurityImplicitTls, "995", kSecuritySTLS, "110"},
        {kSecurityNone, "110", kSecuritySTLS, "110"},
        {kSecurityNone, "", kSecurityImplicitTls, "995"},
        // A port of the user's own stays, also one that is the usual port of another setting.
        {kSecurityNone, "2110", kSecurityImplicitTls, "2110"},
        {kSecurityNone, "995", kSecuritySTLS, "995"},
        {kSecurityImplicitTls, "110", kSecurityNone, "110"},
        {kSecurityImplicitTls, "110", kSecurityImplicitTls, "110"},
    };
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.SecurityComboBox()->setCurrentIndex(c.from);
        form.PortEdit()->setText(c.port);
        form.SecurityComboBox()->setCurrentIndex(c.to);
        EXPECT_EQ(form.PortEdit()->text(), c.shown) << c.from << " " << c.port << " " << c.to;
        EXPECT_EQ(form.Security(), c.to);
    }

    // Following the choices back and forth without typing.
    TMailServerSettingsForm form;
    for (const auto& [security, port] : {std::pair{2, "995"}, {1, "110"}, {2, "995"}, {0, "110"}}) {
        form.SecurityComboBox()->setCurrentIndex(security);
        EXPECT_EQ(form.PortEdit()->text(), port) << security;
        EXPECT_EQ(form.Port(), QString(port).toInt());
    }
}

TEST(MailServerSettingsForm, LeavingThePortRepairsWhatIsNotAPortNumber)
{
    const struct
    {
        const char* typed;
        const char* shown;
    } cases[] = {{"2110", "2110"}, {"1", "1"},    {"65535", "65535"}, {"0", "995"},
                 {"65536", "995"}, {"-1", "995"}, {"pop", "995"},     {"", "995"}};
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.SecurityComboBox()->setCurrentIndex(kSecurityImplicitTls);
        FocusIn(form.PortEdit());
        form.PortEdit()->clear();
        QTest::keyClicks(form.PortEdit(), c.typed);
        FocusOut(form.PortEdit());
        EXPECT_EQ(form.PortEdit()->text(), c.shown) << c.typed;
        EXPECT_EQ(form.Port(), QString(c.shown).toInt()) << c.typed;
    }

    // The last accepted port comes back, not the usual one.
    TMailServerSettingsForm form;
    FocusIn(form.PortEdit());
    form.PortEdit()->setText("8110");
    FocusOut(form.PortEdit());
    FocusIn(form.PortEdit());
    form.PortEdit()->setText("none");
    FocusOut(form.PortEdit());
    EXPECT_EQ(form.PortEdit()->text(), "8110");
    EXPECT_EQ(form.LastAcceptedPort(), 8110);
}

TEST(MailServerSettingsForm, OkRepairsThePortTypedJustBefore)
{
    TMailServerSettingsForm form;
    form.ServerNameEdit()->setText("Home");
    form.UserNameEdit()->setText("ann");
    form.POP3ServerEdit()->setText("pop");
    form.SetSecurity(kSecuritySTLS, 1110);
    FocusIn(form.PortEdit());
    form.PortEdit()->setText("99999");
    QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.PortEdit()->text(), "1110");
    EXPECT_EQ(form.Port(), 1110);
}

TEST(MailServerSettingsForm, SetSecurityShowsAnEntryAndResetGoesBackToTls)
{
    const struct
    {
        int security;
        int port;
        int index;
        const char* shown;
    } cases[] = {{kSecurityNone, 0, 0, "110"},        {kSecuritySTLS, 0, 1, "110"},
                 {kSecurityImplicitTls, 0, 2, "995"}, {kSecurityImplicitTls, 2995, 2, "2995"},
                 {kSecurityNone, 70000, 0, "110"},    {7, 0, 1, "110"}};
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.SetSecurity(c.security, c.port);
        EXPECT_EQ(form.SecurityComboBox()->currentIndex(), c.index) << c.security << "/" << c.port;
        EXPECT_EQ(form.Security(), c.index);
        EXPECT_EQ(form.PortEdit()->text(), c.shown) << c.security << "/" << c.port;

        form.ResetFields();
        EXPECT_EQ(form.Security(), kSecurityImplicitTls);
        EXPECT_EQ(form.PortEdit()->text(), "995");
    }
    // A shown entry's own port stays when the user picks another security.
    TMailServerSettingsForm form;
    form.SetSecurity(kSecuritySTLS, 2110);
    form.SecurityComboBox()->setCurrentIndex(kSecurityImplicitTls);
    EXPECT_EQ(form.PortEdit()->text(), "2110");
}

TEST(MailServerSettingsForm, OkIsEnabledOnceNameUserAndServerAreTypedInAnyOrder)
{
    TMailServerSettingsForm form;
    std::array<QLineEdit*, 3> fields = {form.ServerNameEdit(), form.UserNameEdit(),
                                        form.POP3ServerEdit()};
    std::sort(fields.begin(), fields.end());
    do {
        form.ResetFields();
        EXPECT_FALSE(form.OKGradBtn()->isEnabled());
        QTest::keyClicks(fields[0], "a");
        QTest::keyClicks(fields[1], "b");
        EXPECT_FALSE(form.OKGradBtn()->isEnabled());
        QTest::keyClicks(fields[2], "c");
        EXPECT_TRUE(form.OKGradBtn()->isEnabled());
        // Clearing any of the three disables it again; the password plays no part.
        QTest::keyClick(fields[1], Qt::Key_Backspace);
        EXPECT_FALSE(form.OKGradBtn()->isEnabled());
        QTest::keyClicks(fields[1], "b");
        EXPECT_TRUE(form.OKGradBtn()->isEnabled());
    } while (std::next_permutation(fields.begin(), fields.end()));

    // A single blank counts as a name.
    form.ResetFields();
    QTest::keyClicks(form.ServerNameEdit(), " ");
    QTest::keyClicks(form.UserNameEdit(), "ann");
    QTest::keyClicks(form.POP3ServerEdit(), "pop.example.org");
    EXPECT_TRUE(form.OKGradBtn()->isEnabled());
    // Fields set by the caller count as well.
    form.ResetFields();
    form.ServerNameEdit()->setText("Home");
    form.UserNameEdit()->setText("ann");
    form.POP3ServerEdit()->setText("pop");
    EXPECT_TRUE(form.OKGradBtn()->isEnabled());
}

TEST(MailServerSettingsForm, LeavingTheIntervalRepairsWhatIsNotAWholeNumberAboveZero)
{
    const struct
    {
        const char* typed;
        const char* shown;
    } cases[] = {{"abc", "10"}, {"0", "10"}, {"-5", "10"}, {"45000", "45000"}, {"25", "25"}};
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.ResetFields();
        FocusIn(form.IntervalEdit());
        form.IntervalEdit()->clear();
        QTest::keyClicks(form.IntervalEdit(), c.typed);
        FocusOut(form.IntervalEdit());
        EXPECT_EQ(form.IntervalEdit()->text(), c.shown) << c.typed;
    }

    // The last accepted number comes back, not the default.
    TMailServerSettingsForm form;
    FocusIn(form.IntervalEdit());
    form.IntervalEdit()->setText("30");
    FocusOut(form.IntervalEdit());
    FocusIn(form.IntervalEdit());
    form.IntervalEdit()->setText("zero");
    FocusOut(form.IntervalEdit());
    EXPECT_EQ(form.IntervalEdit()->text(), "30");
}

TEST(MailServerSettingsForm, EnteringAnIntervalThatIsNotANumberResetsItToTen)
{
    TMailServerSettingsForm form;
    form.IntervalEdit()->setText("soon");
    FocusIn(form.IntervalEdit());
    EXPECT_EQ(form.IntervalEdit()->text(), "10");
    EXPECT_EQ(form.LastAcceptedInterval(), 10);
}

TEST(MailServerSettingsForm, OkRepairsTheIntervalTypedJustBefore)
{
    // A click on OK leaves the focus in the field, so OK applies the leaving rule itself.
    TMailServerSettingsForm form;
    form.ResetFields();
    form.ServerNameEdit()->setText("Home");
    form.UserNameEdit()->setText("ann");
    form.POP3ServerEdit()->setText("pop");
    FocusIn(form.IntervalEdit());
    form.IntervalEdit()->setText("abc");
    QTest::mouseClick(form.OKGradBtn(), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.IntervalEdit()->text(), "10");
}

TEST(MailServerSettingsForm, CancelAndTheCloseBoxGiveCancel)
{
    for (const bool byCancel : {true, false}) {
        TMailServerSettingsForm form;
        QSignalSpy finished(&form, &QDialog::finished);
        if (byCancel)
            QTest::mouseClick(form.CancelGradBtn(), Qt::LeftButton);
        else
            form.reject();
        ASSERT_EQ(finished.count(), 1) << byCancel;
        EXPECT_EQ(finished.front().front().toInt(), QDialog::Rejected) << byCancel;
    }
}

TEST(MailServerSettingsForm, EnterIsOkAndEscapeIsCancel)
{
    const struct
    {
        Qt::Key key;
        bool filledIn;
        int finishedWith; // -1: still open
    } cases[] = {
        {Qt::Key_Return, true, QDialog::Accepted},
        {Qt::Key_Enter, true, QDialog::Accepted},
        {Qt::Key_Return, false, -1}, // OK is disabled until the entry is complete
        {Qt::Key_Escape, true, QDialog::Rejected},
    };
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.show();
        if (c.filledIn) {
            form.ServerNameEdit()->setText("Home");
            form.UserNameEdit()->setText("ann");
            form.POP3ServerEdit()->setText("pop.example.org");
        }
        QSignalSpy finished(&form, &QDialog::finished);
        QTest::keyClick(form.UserNameEdit(), c.key);
        if (c.finishedWith < 0) {
            EXPECT_EQ(finished.count(), 0) << c.key;
        } else {
            ASSERT_EQ(finished.count(), 1) << c.key;
            EXPECT_EQ(finished.front().front().toInt(), c.finishedWith) << c.key;
        }
    }
}

TEST(MailServerSettingsForm, ReadOnlyNameForEdit)
{
    TMailServerSettingsForm form;
    form.SetServerNameReadOnly(true);
    EXPECT_TRUE(form.ServerNameEdit()->isReadOnly());
    EXPECT_EQ(form.ServerNameEdit()->palette().color(QPalette::Base),
              form.palette().color(QPalette::Button));
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(MailServerSettingsForm, WarnsInOneLineOfPlainTextToAHostThatIsNotLoopback)
{
    const struct
    {
        int security;
        const char* host;
        bool warned;
    } cases[] = {
        {kSecurityNone, "pop.example.org", true},
        {kSecurityNone, "192.168.1.20", true},
        {kSecurityNone, "127.0.0.1", false},
        {kSecurityNone, "127.8.9.10", false},
        {kSecurityNone, "LocalHost", false},
        {kSecurityNone, "mail.localhost", false},
        {kSecurityNone, "::1", false},
        {kSecurityNone, "[::1]", false},
        {kSecurityNone, "", false},
        {kSecurityNone, "127.example.org", true},
        {kSecuritySTLS, "pop.example.org", false},
        {kSecurityImplicitTls, "pop.example.org", false},
    };
    for (const auto& c : cases) {
        TMailServerSettingsForm form;
        form.show();
        const int plainHeight = form.height();
        form.POP3ServerEdit()->setText(c.host);
        form.SecurityComboBox()->setCurrentIndex(c.security);
        const auto* warning = form.Notes()->PlainTextWarning();
        EXPECT_EQ(warning->isVisible(), c.warned) << c.security << " " << c.host;
        EXPECT_EQ(form.height() > plainHeight, c.warned) << "the dialog makes room for it";
        if (c.warned) {
            EXPECT_EQ(warning->text(),
                      "Without security the password crosses the network as plain text.");
            EXPECT_LE(warning->geometry().bottom(), form.Notes()->height());
            EXPECT_GE(form.Notes()->y(), form.OKGradBtn()->geometry().bottom());
        }
    }
    // The warning follows the choice back.
    TMailServerSettingsForm form;
    form.show();
    form.POP3ServerEdit()->setText("pop.example.org");
    form.SecurityComboBox()->setCurrentIndex(kSecurityNone);
    form.SecurityComboBox()->setCurrentIndex(kSecurityImplicitTls);
    EXPECT_FALSE(form.Notes()->PlainTextWarning()->isVisible());
}

TEST(MailServerSettingsForm, SaysWhenThePasswordIsKeptOnlyScrambledAndWhenItStaysInTheKeyring)
{
    TMailServerSettingsForm form;
    form.show();
    EXPECT_FALSE(form.Notes()->ScrambledNote()->isVisible());
    form.SetPasswordKeptScrambled(true);
    EXPECT_TRUE(form.Notes()->ScrambledNote()->isVisible());
    EXPECT_EQ(form.Notes()->ScrambledNote()->text(),
              "No keyring answers: the password is kept only scrambled in a file.");
    form.SetPasswordKeptScrambled(false);
    EXPECT_FALSE(form.Notes()->ScrambledNote()->isVisible());

    // A password that stays in the keyring is not shown; typing one replaces it.
    form.SetPassword("old");
    form.SetPasswordInKeyring(true);
    EXPECT_EQ(form.PasswordEdit()->text(), "");
    EXPECT_FALSE(form.PasswordEdit()->placeholderText().isEmpty());
    EXPECT_TRUE(form.PasswordStaysInKeyring());
    QTest::keyClicks(form.PasswordEdit(), "new");
    EXPECT_FALSE(form.PasswordStaysInKeyring());
    EXPECT_EQ(form.Password(), "new");
    form.ResetFields();
    EXPECT_FALSE(form.PasswordStaysInKeyring());
}

} // namespace
} // namespace vorlane
