#include "ui/UpDown.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

// A spin control beside its field, in a window of their own, at a position within a range.
struct SpinField
{
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    UpDown* upDown = new UpDown(&window);

    SpinField(int min, int max, int position)
    {
        upDown->SetAssociate(edit);
        upDown->SetRange(min, max);
        upDown->SetPosition(position);
    }
};

TEST(UpDown, KeepsThePositionWithinItsRangeAndShowsIt)
{
    SpinField spin(5, 600, 60);
    QLineEdit* edit = spin.edit;
    UpDown* upDown = spin.upDown;
    EXPECT_EQ(edit->text(), "60");
    upDown->SetPosition(700);
    EXPECT_EQ(upDown->Position(), 600);
    EXPECT_EQ(edit->text(), "600");
    upDown->SetPosition(1);
    EXPECT_EQ(edit->text(), "5");
}

TEST(UpDown, TypedTextInsideTheRangeMovesThePositionOtherTextDoesNot)
{
    SpinField spin(5, 600, 60);
    QLineEdit* edit = spin.edit;
    UpDown* upDown = spin.upDown;
    const struct
    {
        const char* typed;
        int position;
    } cases[] = {{"120", 120}, {"700", 60}, {"abc", 60}, {"4", 60}, {"5", 5}, {"600", 600}};
    for (const auto& c : cases) {
        upDown->SetPosition(60);
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(upDown->Position(), c.position) << c.typed;
        EXPECT_EQ(edit->text(), c.typed) << "typed text stays as typed";
    }
}

TEST(UpDown, ArrowsAndKeysStepWithinTheRange)
{
    SpinField spin(1, 32000, 31999);
    QLineEdit* edit = spin.edit;
    UpDown* upDown = spin.upDown;
    upDown->UpButton()->click();
    upDown->UpButton()->click();
    EXPECT_EQ(edit->text(), "32000");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "31999");
    upDown->SetPosition(1);
    upDown->DownButton()->click();
    EXPECT_EQ(edit->text(), "1");
}

} // namespace
} // namespace vorlane
