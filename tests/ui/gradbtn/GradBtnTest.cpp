#include "ui/gradbtn/GradBtn.h"

#include "GradBtnTestSupport.h"
#include "ui/gradbtn/GradientBands.h"

#include <QApplication>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vorlane {
namespace {

using namespace gradbtn_test;

TEST(GradBtn, StartsWithItsDocumentedLook)
{
    TGradBtn button;
    EXPECT_EQ(button.size(), QSize(75, 25));
    EXPECT_EQ(button.BtnHiliteClr(), WinColor::BtnHighlight);
    EXPECT_EQ(button.BtnShadowClr(), WinColor::BtnShadow);
    EXPECT_EQ(button.BtnFrameSize(), 1);
    EXPECT_EQ(button.TxtHiliteClr(), WinColor::BtnHighlight);
    EXPECT_EQ(button.TxtShadowClr(), WinColor::BtnShadow);
    EXPECT_EQ(button.BeginColor(), 0x800000u);
    EXPECT_EQ(button.EndColor(), 0xFFFF00u);
    EXPECT_TRUE(button.SwapColors());
    EXPECT_EQ(button.GradientStyle(), TGradientStyle::gsVertCenter);
    EXPECT_EQ(button.TextStyle(), TTextStyle::tsRaised);
    EXPECT_EQ(button.TextShadeType(), TShadeType::stLight);
    EXPECT_EQ(button.Presets(), TPreset::None);
    EXPECT_EQ(button.FocusFontColor(), 255u);
    EXPECT_EQ(button.FontColor(), WinColor::Black);
    EXPECT_TRUE(button.TabStop());
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.HasFocus());
}

// Which step of the gradient shows at a pixel, worked out by hand from the band geometry.
TEST(GradBtn, PaintsEveryGradientStyleBandByBand)
{
    const struct
    {
        TGradientStyle style;
        int width, height, x, y, step, n;
    } cases[] = {
        // Strips from MulDiv(i, 75, 256): strip 0 is empty, strip 255 too.
        {TGradientStyle::gsHorizontal, 75, 25, 0, 12, 1, 255},
        {TGradientStyle::gsHorizontal, 75, 25, 37, 12, 127, 255},
        {TGradientStyle::gsHorizontal, 75, 25, 74, 12, 254, 255},
        {TGradientStyle::gsVertical, 75, 25, 37, 0, 5, 255},
        {TGradientStyle::gsVertical, 75, 25, 37, 12, 127, 255},
        {TGradientStyle::gsVertical, 75, 25, 37, 24, 250, 255},
        // Odd height: rows i and 25 - i; the bottom row takes step 1, two middle rows the end.
        {TGradientStyle::gsVertCenter, 75, 25, 37, 0, 0, 12},
        {TGradientStyle::gsVertCenter, 75, 25, 37, 6, 6, 12},
        {TGradientStyle::gsVertCenter, 75, 25, 37, 12, 12, 12},
        {TGradientStyle::gsVertCenter, 75, 25, 37, 13, 12, 12},
        {TGradientStyle::gsVertCenter, 75, 25, 37, 18, 7, 12},
        {TGradientStyle::gsVertCenter, 75, 25, 37, 24, 1, 12},
        // Even height: one middle row.
        {TGradientStyle::gsVertCenter, 75, 24, 37, 0, 0, 12},
        {TGradientStyle::gsVertCenter, 75, 24, 37, 11, 11, 12},
        {TGradientStyle::gsVertCenter, 75, 24, 37, 12, 12, 12},
        {TGradientStyle::gsVertCenter, 75, 24, 37, 13, 11, 12},
        {TGradientStyle::gsVertCenter, 75, 24, 37, 23, 1, 12},
        {TGradientStyle::gsHorizCenter, 75, 25, 0, 12, 0, 37},
        {TGradientStyle::gsHorizCenter, 75, 25, 37, 12, 37, 37},
        {TGradientStyle::gsHorizCenter, 75, 25, 38, 12, 37, 37},
        {TGradientStyle::gsHorizCenter, 75, 25, 74, 3, 1, 37},
        {TGradientStyle::gsHorizCenter, 76, 25, 38, 12, 38, 38},
        {TGradientStyle::gsHorizCenter, 76, 25, 39, 12, 37, 38},
        {TGradientStyle::gsHorizCenter, 76, 25, 75, 12, 1, 38},
        // Rectangles: the corner stays covered up to step 5, the centre up to step 243; the
        // right column and bottom row, which no rectangle reaches, keep the begin colour.
        {TGradientStyle::gsRectangle, 75, 25, 0, 0, 5, 255},
        {TGradientStyle::gsRectangle, 75, 25, 73, 12, 5, 255},
        {TGradientStyle::gsRectangle, 75, 25, 37, 12, 243, 255},
        {TGradientStyle::gsRectangle, 75, 25, 74, 12, 0, 255},
        {TGradientStyle::gsRectangle, 75, 25, 37, 24, 0, 255},
        // Ellipses cover the corners up to step 9; the last, one pixel, covers the centre.
        {TGradientStyle::gsElliptic, 75, 25, 0, 0, 9, 155},
        {TGradientStyle::gsElliptic, 75, 25, 74, 0, 9, 155},
        {TGradientStyle::gsElliptic, 75, 25, 0, 24, 9, 155},
        {TGradientStyle::gsElliptic, 75, 25, 74, 24, 9, 155},
        {TGradientStyle::gsElliptic, 75, 25, 10, 12, 80, 155},
        {TGradientStyle::gsElliptic, 75, 25, 37, 3, 83, 155},
        {TGradientStyle::gsElliptic, 75, 25, 37, 12, 155, 155},
        {TGradientStyle::gsElliptic, 75, 22, 0, 0, 9, 155},
        {TGradientStyle::gsElliptic, 75, 22, 74, 21, 9, 155},
        {TGradientStyle::gsElliptic, 75, 22, 37, 11, 144, 155},
        {TGradientStyle::gsElliptic, 75, 22, 37, 10, 155, 155},
        {TGradientStyle::gsElliptic, 76, 26, 37, 12, 155, 155},
        {TGradientStyle::gsElliptic, 76, 26, 38, 13, 146, 155},
    };
    for (const auto& c : cases) {
        const auto button = Face(c.style, c.width, c.height);
        const QImage image = Render(*button);
        EXPECT_EQ(PixelAt(image, c.x, c.y), BandColor(kNavy, kAqua, c.step, c.n))
            << "style " << static_cast<int>(c.style) << " " << c.width << "x" << c.height << " at ("
            << c.x << ", " << c.y << ")";
    }
}

TEST(GradBtn, EllipsesGetLighterTowardsTheCentre)
{
    const auto button = Face(TGradientStyle::gsElliptic, 75, 25, 0x000000, 0xFFFFFF);
    const QImage image = Render(*button);
    for (int x = 1; x <= 37; ++x)
        EXPECT_GE(PixelAt(image, x, 12) & 0xFF, PixelAt(image, x - 1, 12) & 0xFF) << x;
    for (int y = 1; y <= 12; ++y)
        EXPECT_GE(PixelAt(image, 37, y) & 0xFF, PixelAt(image, 37, y - 1) & 0xFF) << y;
}

TEST(GradBtn, BevelRingsTurnOverWhilePressed)
{
    TGradBtn button;
    MakeAluminum(button);
    ASSERT_EQ(button.BtnFrameSize(), 1);
    button.SetBtnFrameSize(3);
    for (const bool pressed : {false, true}) {
        if (pressed)
            Press(button);
        const QImage image = Render(button);
        const TColor upper = pressed ? WinColor::Black : WinColor::White;
        const TColor lower = pressed ? WinColor::White : WinColor::Black;
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(testing::Message() << "pressed " << pressed << ", ring " << k);
            EXPECT_EQ(PixelAt(image, k, 12), upper);
            EXPECT_EQ(PixelAt(image, 37, k), upper);
            EXPECT_EQ(PixelAt(image, 74 - k, 12), lower);
            EXPECT_EQ(PixelAt(image, 37, 24 - k), lower);
            // The lower colour owns the top-right and bottom-left corners.
            EXPECT_EQ(PixelAt(image, k, k), upper);
            EXPECT_EQ(PixelAt(image, 74 - k, k), lower);
            EXPECT_EQ(PixelAt(image, k, 24 - k), lower);
            EXPECT_EQ(PixelAt(image, 74 - k, 24 - k), lower);
        }
        EXPECT_NE(PixelAt(image, 3, 12), upper);
        EXPECT_NE(PixelAt(image, 71, 12), lower);
    }
    Release(button);
    EXPECT_EQ(PixelAt(Render(button), 0, 12), WinColor::White);
}

TEST(GradBtn, SystemColoursTakeThePalettesButtonHighlightAndShadow)
{
    TGradBtn button;
    QPalette palette = button.palette();
    palette.setColor(QPalette::Light, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::Dark, QColor(0x65, 0x43, 0x21));
    button.setPalette(palette);
    const QImage image = Render(button);
    EXPECT_EQ(PixelAt(image, 0, 12), 0x563412u);
    EXPECT_EQ(PixelAt(image, 74, 12), 0x214365u);
}

TEST(GradBtn, PressExchangesTheGradientOnlyWithSwapColors)
{
    for (const bool swap : {true, false}) {
        SCOPED_TRACE(swap ? "SwapColors" : "no SwapColors");
        TGradBtn button;
        MakeAluminum(button);
        button.SetSwapColors(swap);
        // Rows 2 and 22 lie in strips 25 and 229 of 255.
        const TColor top = BandColor(0xCECECE, 0x5F5F5F, 25, 255);
        const TColor bottom = BandColor(0xCECECE, 0x5F5F5F, 229, 255);
        const TColor pressedTop = swap ? BandColor(0x5F5F5F, 0xCECECE, 25, 255) : top;
        EXPECT_EQ(PixelAt(Render(button), 37, 2), top);
        Press(button);
        EXPECT_TRUE(button.Pressed());
        EXPECT_EQ(PixelAt(Render(button), 37, 2), pressedTop);
        EXPECT_EQ(button.BeginColor(), swap ? 0x5F5F5Fu : 0xCECECEu);
        // Leaving the button while held changes nothing; releasing off it restores the look.
        QTest::mouseMove(&button, QPoint(200, 200));
        EXPECT_EQ(PixelAt(Render(button), 37, 2), pressedTop);
        Release(button, QPoint(200, 200));
        EXPECT_FALSE(button.Pressed());
        const QImage image = Render(button);
        EXPECT_EQ(PixelAt(image, 37, 2), top);
        EXPECT_EQ(PixelAt(image, 37, 22), bottom);
        EXPECT_EQ(button.BeginColor(), 0xCECECEu);
    }
}

TEST(GradBtn, ReleaseRestoresTheColoursEvenWhenSwapColorsChangedMeanwhile)
{
    TGradBtn button;
    Press(button);
    button.SetSwapColors(false);
    Release(button);
    EXPECT_EQ(button.BeginColor(), kNavy);
    EXPECT_EQ(button.EndColor(), kAqua);
}

// Captions are compared layer by layer against the face alone: the font does not matter, only
// where each layer goes and which colour wins.
TEST(GradBtn, FrameSizeIsLimitedByTheButtonsSize)
{
    const struct
    {
        int width, height, size;
        bool accepted;
    } cases[] = {
        {75, 25, 7, true},
        {75, 25, 8, false},
        {75, 22, 6, true},
        {75, 22, 7, false},
    };
    for (const auto& c : cases) {
        TGradBtn button;
        button.resize(c.width, c.height);
        button.SetBtnFrameSize(c.size);
        EXPECT_EQ(button.BtnFrameSize(), c.accepted ? c.size : 1)
            << c.width << "x" << c.height << " frame " << c.size;
    }
}

TEST(GradBtn, PresetsChangeNothingInARunningProgram)
{
    TGradBtn button;
    const QFont font = button.font();
    button.SetPresets(TPreset::GoldCoast);
    EXPECT_EQ(button.Presets(), TPreset::None);
    EXPECT_EQ(button.BeginColor(), kNavy);
    EXPECT_EQ(button.GradientStyle(), TGradientStyle::gsVertCenter);
    EXPECT_EQ(button.font(), font);

    button.SetDesigning(true);
    button.SetPresets(TPreset::Aluminum);
    EXPECT_EQ(button.Presets(), TPreset::Aluminum);
    EXPECT_EQ(button.BeginColor(), 0xCECECEu);
    EXPECT_EQ(button.EndColor(), 0x5F5F5Fu);
    EXPECT_EQ(button.GradientStyle(), TGradientStyle::gsVertical);
    EXPECT_EQ(button.TextStyle(), TTextStyle::tsInset);
    EXPECT_EQ(button.TextShadeType(), TShadeType::stHeavy);
    EXPECT_EQ(button.BtnHiliteClr(), WinColor::White);
    EXPECT_EQ(button.BtnShadowClr(), WinColor::Black);
    EXPECT_EQ(button.TxtHiliteClr(), WinColor::BtnHighlight);
    EXPECT_EQ(button.font().family(), "Times New Roman");
    EXPECT_EQ(button.font().pointSize(), 10);
    EXPECT_TRUE(button.font().bold());
}

TEST(GradBtn, LeftClickOverTheButtonEmitsClicked)
{
    const struct
    {
        Qt::MouseButton mouseButton;
        QPoint releaseAt;
        int clicks;
    } cases[] = {
        {Qt::LeftButton, {10, 10}, 1},   {Qt::LeftButton, {74, 24}, 1},
        {Qt::LeftButton, {75, 10}, 0},   {Qt::RightButton, {10, 10}, 0},
        {Qt::MiddleButton, {10, 10}, 0},
    };
    for (const auto& c : cases) {
        TGradBtn button;
        QSignalSpy clicks(&button, &TGradBtn::clicked);
        QSignalSpy downs(&button, &TGradBtn::pressed);
        QSignalSpy ups(&button, &TGradBtn::released);
        Press(button, c.mouseButton);
        EXPECT_TRUE(button.Pressed());
        Release(button, c.releaseAt, c.mouseButton);
        EXPECT_FALSE(button.Pressed());
        EXPECT_EQ(clicks.count(), c.clicks) << c.mouseButton << " at " << c.releaseAt.x();
        EXPECT_EQ(downs.count(), 1);
        EXPECT_EQ(ups.count(), 1);
    }
}

// Shows the button with a second focusable widget in an active window.
class KeyboardTest : public testing::Test
{
protected:
    KeyboardTest()
    {
        button = new TGradBtn(&window);
        other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        other->setGeometry(0, 40, 20, 20);
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }

    QWidget window;
    TGradBtn* button = nullptr;
    QWidget* other = nullptr;
};

TEST_F(KeyboardTest, SpaceAndEnterActivateTheFocusedButtonOnRelease)
{
    ASSERT_TRUE(window.isActiveWindow());
    button->SetFocus();
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QSignalSpy clicks(button, &TGradBtn::clicked);
        QTest::keyPress(button, key);
        EXPECT_EQ(clicks.count(), 0) << key;
        EXPECT_FALSE(button->Pressed());
        QTest::keyRelease(button, key);
        EXPECT_EQ(clicks.count(), 1) << key;
    }
    QSignalSpy clicks(button, &TGradBtn::clicked);
    QTest::keyClick(button, Qt::Key_A);
    QTest::keyRelease(button, Qt::Key_Space); // its press went elsewhere
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(KeyboardTest, KeyWhileTheMouseHoldsTheButtonClicksOnce)
{
    button->SetFocus();
    QSignalSpy clicks(button, &TGradBtn::clicked);
    Press(*button);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(button->BeginColor(), kNavy);
    Release(*button);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->BeginColor(), kNavy);
}

TEST_F(KeyboardTest, ClickDoesNotTakeTheFocusButTabDoes)
{
    other->setFocus();
    QSignalSpy clicks(button, &TGradBtn::clicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button->HasFocus());
    EXPECT_TRUE(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Tab);
    EXPECT_TRUE(button->HasFocus());
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(KeyboardTest, DisablingAHeldButtonEndsThePress)
{
    Press(*button);
    button->setEnabled(false);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(button->BeginColor(), kNavy);
}

} // namespace
} // namespace vorlane
