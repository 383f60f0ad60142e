#include "ui/UpDown.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(UpDown, KeepsThePositionWithinItsRangeAndShowsIt)
{
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* upDown = new UpDown(&parent);
    upDown->SetAssociate(edit);
    upDown->SetRange(5, 600);
    upDown->SetPosition(60);
    EXPECT_EQ(edit->text(), "60");
    upDown->SetPosition(700);
    EXPECT_EQ(upDown->Position(), 600);
    EXPECT_EQ(edit->text(), "600");
    upDown->SetPosition(1);
    EXPECT_EQ(edit->text(), "5");
}

TEST(UpDown, TypedTextInsideTheRangeMovesThePositionOtherTextDoesNot)
{
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* upDown = new UpDown(&parent);
    upDown->SetAssociate(edit);
    upDown->SetRange(5, 600);
    upDown->SetPosition(60);
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
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* upDown = new UpDown(&parent);
    upDown->SetAssociate(edit);
    upDown->SetRange(1, 32000);
    upDown->SetPosition(31999);
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
