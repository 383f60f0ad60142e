// The gradient button's caption: its face, its layers by text style and shade, disabled and
// focused (with the platform's focus frame).
#include "GradBtnTestSupport.h"
#include "ui/gradbtn/CaptionLayers.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>
#include <vector>

namespace vorlane {
namespace {

using namespace gradbtn_test;

class CaptionTest : public testing::Test
{
protected:
    static constexpr TColor kFace = 0x000000;
    static constexpr TColor kHilite = 0x00FF00;
    static constexpr TColor kShadow = 0xFF0000;
    static constexpr TColor kGround = 0xC0C0C0;

    CaptionTest()
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(12);
        font.setBold(true);
        font.setStyleStrategy(QFont::NoAntialias);
        button.setFont(font);
        button.SetCaption("OK");
        button.SetBeginColor(kGround);
        button.SetEndColor(kGround);
        button.SetTxtHiliteClr(kHilite);
        button.SetTxtShadowClr(kShadow);
        button.SetFontColor(kFace);
        button.SetTextStyle(TTextStyle::tsNormal);
        faceMask = MaskOf(Render(button), kFace);
    }

    // The pixels of the inside (the bevel excluded) that have the colour.
    static std::vector<QPoint> MaskOf(const QImage& image, TColor color)
    {
        std::vector<QPoint> mask;
        for (int y = 1; y < image.height() - 1; ++y)
            for (int x = 1; x < image.width() - 1; ++x)
                if (PixelAt(image, x, y) == color)
                    mask.emplace_back(x, y);
        return mask;
    }

    struct Layer
    {
        TColor color;
        int dx, dy;
    };

    // The inside as it should look with the layers drawn in order over the ground.
    QImage Expected(const std::vector<Layer>& layers) const
    {
        QImage image(75, 25, QImage::Format_RGB32);
        image.fill(QColor(0xC0, 0xC0, 0xC0));
        for (const Layer& layer : layers)
            for (const QPoint& p : faceMask)
                image.setPixelColor(
                    p + QPoint(layer.dx, layer.dy),
                    QColor(RedOf(layer.color), GreenOf(layer.color), BlueOf(layer.color)));
        return image;
    }

    static void ExpectSameInside(const QImage& actual, const QImage& expected)
    {
        int differences = 0;
        for (int y = 1; y < 24; ++y)
            for (int x = 1; x < 74; ++x)
                if (PixelAt(actual, x, y) != PixelAt(expected, x, y) && differences++ < 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                                  << PixelAt(actual, x, y) << ", expected "
                                  << PixelAt(expected, x, y);
        EXPECT_EQ(differences, 0);
    }

    TGradBtn button;
    std::vector<QPoint> faceMask;
};

TEST_F(CaptionTest, FaceIsCentredOnTheButton)
{
    ASSERT_FALSE(faceMask.empty());
    const QFontMetrics metrics(button.font());
    const QRect cell((75 - metrics.horizontalAdvance("OK")) / 2, (25 - metrics.height()) / 2,
                     metrics.horizontalAdvance("OK"), metrics.height());
    for (const QPoint& p : faceMask)
        ASSERT_TRUE(cell.contains(p)) << p.x() << ", " << p.y();
}

TEST_F(CaptionTest, LayersFollowTheTextStyleAndShadeTypeAndMoveWhenPressed)
{
    const struct
    {
        TTextStyle style;
        TShadeType shade;
        std::vector<Layer> layers;
    } cases[] = {
        {TTextStyle::tsNormal, TShadeType::stLight, {{kFace, 0, 0}}},
        {TTextStyle::tsNormal, TShadeType::stHeavy, {{kFace, 0, 0}}},
        {TTextStyle::tsRaised, TShadeType::stLight, {{kHilite, -1, -1}, {kFace, 0, 0}}},
        {TTextStyle::tsRaised,
         TShadeType::stHeavy,
         {{kHilite, -1, -1}, {kShadow, 1, 1}, {kFace, 0, 0}}},
        {TTextStyle::tsInset, TShadeType::stLight, {{kHilite, 1, 1}, {kFace, 0, 0}}},
        {TTextStyle::tsInset,
         TShadeType::stHeavy,
         {{kShadow, -1, -1}, {kHilite, 1, 1}, {kFace, 0, 0}}},
    };
    for (const auto& c : cases) {
        button.SetTextStyle(c.style);
        button.SetTextShadeType(c.shade);
        for (const bool pressed : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "style " << static_cast<int>(c.style) << ", shade "
                         << static_cast<int>(c.shade) << (pressed ? ", pressed" : ""));
            std::vector<Layer> layers = c.layers;
            if (pressed) {
                Press(button);
                for (Layer& layer : layers)
                    ++layer.dx, ++layer.dy;
            }
            ExpectSameInside(Render(button), Expected(layers));
            if (pressed)
                Release(button);
        }
    }
}

TEST_F(CaptionTest, DisabledFaceIsGreyWithTheOtherLayersUnchanged)
{
    button.SetTextStyle(TTextStyle::tsInset);
    button.SetTextShadeType(TShadeType::stHeavy);
    button.setEnabled(false);
    ExpectSameInside(Render(button),
                     Expected({{kShadow, -1, -1}, {kHilite, 1, 1}, {WinColor::Gray, 0, 0}}));
    button.setEnabled(true);
    ExpectSameInside(Render(button), Expected({{kShadow, -1, -1}, {kHilite, 1, 1}, {kFace, 0, 0}}));
}

TEST_F(CaptionTest, FocusedFaceTakesFocusFontColor)
{
    QWidget window;
    button.setParent(&window);
    QWidget other(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.move(0, 40);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(window.isActiveWindow());

    // The button's own picture, and whether the screen shows more: the platform's focus frame.
    const auto own = [&] {
        button.grab();
        return button.ImageBuffer().convertToFormat(QImage::Format_RGB32);
    };
    const auto framed = [&] {
        const QImage shown = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown != button.ImageBuffer().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_FALSE(framed());
    // The style frames the focus once the keyboard has moved it, as a Tab does.
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    button.SetFocus();
    EXPECT_TRUE(button.HasFocus());
    EXPECT_TRUE(framed());
    ExpectSameInside(own(), Expected({{WinColor::Red, 0, 0}}));
    button.SetFocusFontColor(0xFF00FF);
    ExpectSameInside(own(), Expected({{0xFF00FF, 0, 0}}));

    other.setFocus();
    EXPECT_FALSE(button.HasFocus());
    EXPECT_FALSE(framed());
    ExpectSameInside(own(), Expected({{kFace, 0, 0}}));
    button.setParent(nullptr);
}

} // namespace
} // namespace vorlane
