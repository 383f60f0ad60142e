#include "ui/WholeNumberField.h"

#include "DialogTestSupport.h"
#include "ui/SettingsRules.h"
#include "util/WholeNumber.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::FocusIn;
using test::FocusOut;

TEST(WholeNumberField, TellsOfTheFocusComingAndGoing)
{
    QLineEdit edit;
    const WholeNumberField field(&edit, 60, ParseWholeNumber, ParseNumberAboveZero);
    QSignalSpy entered(&field, &WholeNumberField::entered);
    QSignalSpy left(&field, &WholeNumberField::left);
    FocusIn(&edit);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 0);
    FocusOut(&edit);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 1);
}

TEST(WholeNumberField, LeavingKeepsWhatTheRuleAcceptsAndPutsTheLastAcceptedBackElse)
{
    const struct
    {
        const char* text;
        std::int32_t accepted;
        const char* shown;
    } cases[] = {
        {"45", 45, "45"}, {"007", 7, "007"}, {"0", 7, "7"},
        {"-5", 7, "7"},   {"abc", 7, "7"},   {"", 7, "7"},
    };
    for (const auto& c : cases) {
        QLineEdit edit;
        WholeNumberField field(&edit, 7, ParseWholeNumber, ParseNumberAboveZero);
        edit.setText(c.text);
        field.Leave();
        EXPECT_EQ(field.LastAccepted(), c.accepted) << c.text;
        EXPECT_EQ(edit.text(), c.shown) << c.text;
    }

    // The port field's rule: a port number is kept, anything else gives back the last accepted.
    const struct
    {
        const char* text;
        std::int32_t last, accepted;
    } ports[] = {{"2110", 995, 2110}, {"0", 995, 995}, {"x", 110, 110}};
    for (const auto& c : ports) {
        QLineEdit edit;
        WholeNumberField field(&edit, c.last, ParsePort, ParsePort);
        edit.setText(c.text);
        field.Leave();
        EXPECT_EQ(field.LastAccepted(), c.accepted) << c.text;
        EXPECT_EQ(edit.text(), QString::number(c.accepted)) << c.text;
    }
}

TEST(WholeNumberField, EnteringTakesTheRulesNumberAndShowsItInPlaceOfText)
{
    QLineEdit edit;
    WholeNumberField field(&edit, 5, AcceptedIntervalOnEntering, ParseNumberAboveZero);
    edit.setText("-3");
    field.Enter();
    EXPECT_EQ(field.LastAccepted(), -3) << "any whole number, as it is";
    EXPECT_EQ(edit.text(), "-3");
    edit.setText("abc");
    field.Enter();
    EXPECT_EQ(field.LastAccepted(), 10);
    EXPECT_EQ(edit.text(), "10") << "text that is no number gives way to the number taken";

    // A rule that takes nothing leaves the number and the text as they were.
    WholeNumberField strict(&edit, 60, ParseWholeNumber, ParseNumberAboveZero);
    edit.setText("soon");
    strict.Enter();
    EXPECT_EQ(strict.LastAccepted(), 60);
    EXPECT_EQ(edit.text(), "soon");
}

TEST(WholeNumberField, SetNumberAcceptsAndShows)
{
    QLineEdit edit;
    WholeNumberField field(&edit, 110, ParsePort, ParsePort);
    field.SetNumber(995);
    EXPECT_EQ(field.LastAccepted(), 995);
    EXPECT_EQ(edit.text(), "995");
    field.SetLastAccepted(2110);
    EXPECT_EQ(field.LastAccepted(), 2110);
    EXPECT_EQ(edit.text(), "995") << "only accepted, not shown";
}

} // namespace
} // namespace vorlane
