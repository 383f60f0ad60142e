#pragma once

#include "ui/gradbtn/GradBtnTypes.h"
#include "ui/gradbtn/WinColor.h"

#include <QImage>
#include <QWidget>
#include <string>

namespace vorlane {

struct GradBtnLook;

// A push button whose face is a colour gradient inside a bevel, with a caption drawn in up to
// three offset layers so that it looks raised or engraved. Pressing it reverses the bevel and
// (with SwapColors) the gradient and moves the caption one pixel right and down. It paints into
// its own off-screen image and copies that in one step, so it never flickers.
//
// Colours are Windows colour values (see WinColor.h); system colours take the palette's colours
// when drawing. The focus shows only as the caption's face colour; there is no focus rectangle.
class TGradBtn : public QWidget
{
    Q_OBJECT

public:
    explicit TGradBtn(QWidget* parent = nullptr);
    ~TGradBtn() override;

    TColor BtnHiliteClr() const { return btnHiliteClr_; }
    void SetBtnHiliteClr(TColor color);
    TColor BtnShadowClr() const { return btnShadowClr_; }
    void SetBtnShadowClr(TColor color);
    int BtnFrameSize() const { return btnFrameSize_; }
    // Ignored when wider than MaxBevelFrameSize for the button's present size.
    void SetBtnFrameSize(int size);
    TColor TxtHiliteClr() const { return txtHiliteClr_; }
    void SetTxtHiliteClr(TColor color);
    TColor TxtShadowClr() const { return txtShadowClr_; }
    void SetTxtShadowClr(TColor color);
    TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(TColor color);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor color);
    bool SwapColors() const { return swapColors_; }
    // Takes effect at the next press; the look does not change now.
    void SetSwapColors(bool swap);
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(TGradientStyle style);
    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle style);
    TShadeType TextShadeType() const { return textShadeType_; }
    void SetTextShadeType(TShadeType shade);
    TPreset Presets() const { return presets_; }
    // Copies the preset's look only while the button is being designed; a running program's
    // buttons carry their look property by property, and the assignment changes nothing.
    void SetPresets(TPreset preset);
    // Takes every property of the look, font included; Presets stays as it is.
    void SetLook(const GradBtnLook& look);
    TColor FocusFontColor() const { return focusFontColor_; }
    void SetFocusFontColor(TColor color);
    // The caption face's colour without the focus (the font colour).
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool tabStop);

    // The form designer's state, in which presets may be assigned.
    bool Designing() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }

    bool Pressed() const { return pressed_; }
    bool HasFocus() const { return hasFocus_; }
    const QImage& ImageBuffer() const { return imageBuffer_; }

    // Takes the keyboard focus and repaints.
    void SetFocus();
    // Emits clicked, as a full click of the left mouse button does.
    void Click();

    QSize sizeHint() const override { return {75, 25}; }

signals:
    void clicked();
    void pressed(Qt::MouseButton button, QPoint position);
    void released(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Paint();
    void PaintGradient(QPainter& painter);
    void PaintBevel(QPainter& painter);
    void PaintCaption(QPainter& painter);
    void ExchangeColors();
    void EndPress();
    template <typename T> void Store(T& field, T value);

    TColor btnHiliteClr_ = WinColor::BtnHighlight;
    TColor btnShadowClr_ = WinColor::BtnShadow;
    int btnFrameSize_ = 1;
    TColor txtHiliteClr_ = WinColor::BtnHighlight;
    TColor txtShadowClr_ = WinColor::BtnShadow;
    TColor beginColor_ = WinColor::Navy;
    TColor endColor_ = WinColor::Aqua;
    bool swapColors_ = true;
    TGradientStyle gradientStyle_ = TGradientStyle::gsVertCenter;
    TTextStyle textStyle_ = TTextStyle::tsRaised;
    TShadeType textShadeType_ = TShadeType::stLight;
    TPreset presets_ = TPreset::None;
    TColor focusFontColor_ = WinColor::Red;
    TColor fontColor_ = WinColor::Black;
    std::string caption_;
    bool designing_ = false;

    QImage imageBuffer_;
    bool pressed_ = false;
    bool hasFocus_ = false;
    // Whether the gradient colours are exchanged now, so that a release restores them exactly
    // once whatever happened to SwapColors in between.
    bool colorsExchanged_ = false;
    // A left press that a release over the button turns into a click.
    bool clickArmed_ = false;
    // The activation key whose press this button saw; only its release activates.
    int activationKey_ = 0;
};

} // namespace vorlane
