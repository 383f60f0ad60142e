#include "ui/MailServerSettingsForm.h"

#include "DialogTestSupport.h"
#include "ui/GradBtn.h"
#include "ui/UpDown.h"

#include <QLineEdit>
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
    EXPECT_EQ(form.size(), QSize(218, 151));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.font().family(), "Verdana");
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
    // Keyboard order: OK, Cancel, then the fields from top to bottom.
    const QWidget* order[] = {form.OKGradBtn(),    form.CancelGradBtn(), form.ServerNameEdit(),
                              form.UserNameEdit(), form.PasswordEdit(),  form.POP3ServerEdit(),
                              form.IntervalEdit(), form.OKGradBtn()};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(NextTabStop(order[i]), order[i + 1]) << i;
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
    EXPECT_EQ(form.result(), TMailServerSettingsForm::mrOk);
    EXPECT_EQ(form.IntervalEdit()->text(), "10");
}

TEST(MailServerSettingsForm, CancelAndTheCloseBoxGiveCancel)
{
    TMailServerSettingsForm form;
    QTest::mouseClick(form.CancelGradBtn(), Qt::LeftButton);
    EXPECT_EQ(form.result(), TMailServerSettingsForm::mrCancel);
    TMailServerSettingsForm closed;
    closed.reject();
    EXPECT_EQ(closed.result(), TMailServerSettingsForm::mrCancel);
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
