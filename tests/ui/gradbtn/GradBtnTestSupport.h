#pragma once

// What the gradient button's tests share: colours, a rendering of the button, the looks they
// use, and the mouse.
#include "ui/gradbtn/GradBtn.h"

#include <QImage>
#include <QTest>
#include <memory>

namespace vorlane::gradbtn_test {

inline constexpr TColor kNavy = 0x800000;
inline constexpr TColor kAqua = 0xFFFF00;

inline TColor PixelAt(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return RgbColor(c.red(), c.green(), c.blue());
}

inline QImage Render(TGradBtn& button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A bare face: no bevel, no caption.
inline std::unique_ptr<TGradBtn> Face(TGradientStyle style, int width, int height,
                                      TColor begin = kNavy, TColor end = kAqua)
{
    auto button = std::make_unique<TGradBtn>();
    button->resize(width, height);
    button->SetBtnFrameSize(0);
    button->SetGradientStyle(style);
    button->SetBeginColor(begin);
    button->SetEndColor(end);
    return button;
}

// The look of the message window's OK button.
inline void MakeAluminum(TGradBtn& button)
{
    button.SetBeginColor(0xCECECE);
    button.SetEndColor(0x5F5F5F);
    button.SetGradientStyle(TGradientStyle::gsVertical);
    button.SetTextStyle(TTextStyle::tsInset);
    button.SetTextShadeType(TShadeType::stHeavy);
    button.SetBtnHiliteClr(WinColor::White);
    button.SetBtnShadowClr(WinColor::Black);
}

inline void Press(TGradBtn& button, Qt::MouseButton mouseButton = Qt::LeftButton)
{
    QTest::mousePress(&button, mouseButton, {}, QPoint(10, 10));
}

inline void Release(TGradBtn& button, QPoint where = QPoint(10, 10),
                    Qt::MouseButton mouseButton = Qt::LeftButton)
{
    QTest::mouseRelease(&button, mouseButton, {}, where);
}

} // namespace vorlane::gradbtn_test
