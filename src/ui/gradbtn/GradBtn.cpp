#include "ui/gradbtn/GradBtn.h"

#include "ui/QtText.h"
#include "ui/gradbtn/BevelFrame.h"
#include "ui/gradbtn/CaptionLayers.h"
#include "ui/gradbtn/EllipseSpans.h"
#include "ui/gradbtn/GradBtnPresets.h"
#include "ui/gradbtn/GradientBands.h"
#include "ui/gradbtn/SystemColors.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <cmath>

namespace vorlane {

namespace {

bool IsActivationKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TGradBtn::TGradBtn(QWidget* parent) : QWidget(parent)
{
    // The paint covers every pixel, so the background is never erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Tab reaches the button, a click does not move the focus to it.
    setFocusPolicy(Qt::TabFocus);
    resize(75, 25);
}

TGradBtn::~TGradBtn() = default;

template <typename T> void TGradBtn::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TGradBtn::SetBtnHiliteClr(TColor color)
{
    Store(btnHiliteClr_, color);
}

void TGradBtn::SetBtnShadowClr(TColor color)
{
    Store(btnShadowClr_, color);
}

void TGradBtn::SetBtnFrameSize(int size)
{
    if (size <= MaxBevelFrameSize(width(), height()))
        Store(btnFrameSize_, size);
}

void TGradBtn::SetTxtHiliteClr(TColor color)
{
    Store(txtHiliteClr_, color);
}

void TGradBtn::SetTxtShadowClr(TColor color)
{
    Store(txtShadowClr_, color);
}

void TGradBtn::SetBeginColor(TColor color)
{
    Store(beginColor_, color);
}

void TGradBtn::SetEndColor(TColor color)
{
    Store(endColor_, color);
}

void TGradBtn::SetSwapColors(bool swap)
{
    swapColors_ = swap;
}

void TGradBtn::SetGradientStyle(TGradientStyle style)
{
    Store(gradientStyle_, style);
}

void TGradBtn::SetTextStyle(TTextStyle style)
{
    Store(textStyle_, style);
}

void TGradBtn::SetTextShadeType(TShadeType shade)
{
    Store(textShadeType_, shade);
}

void TGradBtn::SetPresets(TPreset preset)
{
    if (!designing_)
        return;
    SetLook(PresetLook(preset));
    presets_ = preset;
}

void TGradBtn::SetLook(const GradBtnLook& look)
{
    beginColor_ = look.BeginColor;
    endColor_ = look.EndColor;
    gradientStyle_ = look.GradientStyle;
    textStyle_ = look.TextStyle;
    textShadeType_ = look.TextShadeType;
    txtHiliteClr_ = look.TxtHiliteClr;
    txtShadowClr_ = look.TxtShadowClr;
    btnHiliteClr_ = look.BtnHiliteClr;
    btnShadowClr_ = look.BtnShadowClr;
    fontColor_ = look.FontColor;
    QFont lookFont(Q(look.FontName), look.FontPointSize);
    lookFont.setBold(look.FontBold);
    setFont(lookFont);
    update();
}

void TGradBtn::SetFocusFontColor(TColor color)
{
    focusFontColor_ = color;
    update();
}

void TGradBtn::SetFontColor(TColor color)
{
    Store(fontColor_, color);
}

void TGradBtn::SetCaption(const std::string& caption)
{
    Store(caption_, caption);
}

void TGradBtn::SetTabStop(bool tabStop)
{
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TGradBtn::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
    update();
}

void TGradBtn::Click()
{
    emit clicked();
}

void TGradBtn::paintEvent(QPaintEvent*)
{
    Paint();
    QPainter painter(this);
    painter.drawImage(0, 0, imageBuffer_);
    // Besides the caption's focus colour, the platform's own focus frame, inside the bevel.
    if (hasFocus_ && isEnabled()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(btnFrameSize_ + 1, btnFrameSize_ + 1, -btnFrameSize_ - 1,
                                     -btnFrameSize_ - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

void TGradBtn::Paint()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                       static_cast<int>(std::ceil(height() * ratio)));
    if (imageBuffer_.size() != pixels || imageBuffer_.devicePixelRatio() != ratio) {
        imageBuffer_ = QImage(pixels, QImage::Format_RGB32);
        imageBuffer_.setDevicePixelRatio(ratio);
    }
    QPainter painter(&imageBuffer_);
    painter.setFont(font());
    PaintGradient(painter);
    PaintBevel(painter);
    PaintCaption(painter);
}

void TGradBtn::PaintGradient(QPainter& painter)
{
    const QPalette& colors = palette();
    const auto bands =
        GradientBands(gradientStyle_, width(), height(), ResolvePlainColor(beginColor_, colors),
                      ResolvePlainColor(endColor_, colors));
    for (const GradientBand& band : bands) {
        if (band.right <= band.left || band.bottom <= band.top)
            continue;
        const QColor color = ResolveColor(band.color, colors);
        const QRect area(band.left, band.top, band.right - band.left, band.bottom - band.top);
        if (band.shape == GradientBand::Rectangle) {
            painter.fillRect(area, color);
            continue;
        }
        for (const PixelSpan& span : EllipseSpans(band.left, band.top, band.right, band.bottom))
            painter.fillRect(QRect(span.left, span.y, span.right - span.left, 1), color);
    }
}

// Nested one-pixel rings from the outer edge in. Top and left belong to the upper colour, bottom
// and right to the lower one, which also takes the top-right and bottom-left corners.
void TGradBtn::PaintBevel(QPainter& painter)
{
    const QColor upper = ResolveColor(pressed_ ? btnShadowClr_ : btnHiliteClr_, palette());
    const QColor lower = ResolveColor(pressed_ ? btnHiliteClr_ : btnShadowClr_, palette());
    for (int k = 0; k < btnFrameSize_; ++k) {
        const int left = k;
        const int top = k;
        const int right = width() - 1 - k;
        const int bottom = height() - 1 - k;
        if (right < left || bottom < top)
            break;
        painter.fillRect(QRect(left, top, 1, bottom - top), upper);
        painter.fillRect(QRect(left, top, right - left, 1), upper);
        painter.fillRect(QRect(right, top, 1, bottom - top), lower);
        painter.fillRect(QRect(left, bottom, right - left + 1, 1), lower);
    }
}

void TGradBtn::PaintCaption(QPainter& painter)
{
    if (caption_.empty())
        return;
    const QString text = Q(caption_);
    const QFontMetrics metrics(font(), &imageBuffer_);
    const QColor face = !isEnabled() ? ResolveColor(WinColor::Gray, palette())
                        : hasFocus_  ? ResolveColor(focusFontColor_, palette())
                                     : ResolveColor(fontColor_, palette());
    for (const CaptionLayer& layer :
         CaptionLayers(textStyle_, textShadeType_, pressed_, width(), height(),
                       metrics.horizontalAdvance(text), metrics.height())) {
        switch (layer.kind) {
        case CaptionLayer::Highlight:
            painter.setPen(ResolveColor(txtHiliteClr_, palette()));
            break;
        case CaptionLayer::Shadow:
            painter.setPen(ResolveColor(txtShadowClr_, palette()));
            break;
        case CaptionLayer::Face:
            painter.setPen(face);
            break;
        }
        // Drawn as plain text: an ampersand stays an ampersand.
        painter.drawText(QPoint(layer.x, layer.y + metrics.ascent()), text);
    }
}

void TGradBtn::ExchangeColors()
{
    std::swap(beginColor_, endColor_);
    colorsExchanged_ = !colorsExchanged_;
}

void TGradBtn::EndPress()
{
    if (!pressed_)
        return;
    if (colorsExchanged_)
        ExchangeColors();
    pressed_ = false;
    update();
}

void TGradBtn::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        clickArmed_ = true;
    if (pressed_)
        return;
    pressed_ = true;
    if (swapColors_ && !colorsExchanged_)
        ExchangeColors();
    update();
}

void TGradBtn::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const bool click =
        event->button() == Qt::LeftButton && clickArmed_ && rect().contains(position);
    if (event->button() == Qt::LeftButton)
        clickArmed_ = false;
    EndPress();
    QPointer<TGradBtn> alive(this);
    emit released(event->button(), position);
    if (click && alive)
        Click();
}

// The key press does nothing by itself; activation comes with the release, and only for a key
// whose press this button saw.
void TGradBtn::keyPressEvent(QKeyEvent* event)
{
    if (!IsActivationKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        activationKey_ = event->key();
}

void TGradBtn::keyReleaseEvent(QKeyEvent* event)
{
    if (!IsActivationKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (event->isAutoRepeat() || event->key() != activationKey_)
        return;
    activationKey_ = 0;
    // A mouse button held on the button meanwhile ends its press here, without a second click
    // at its release.
    clickArmed_ = false;
    EndPress();
    Click();
}

void TGradBtn::focusInEvent(QFocusEvent* event)
{
    hasFocus_ = true;
    update();
    QWidget::focusInEvent(event);
}

void TGradBtn::focusOutEvent(QFocusEvent* event)
{
    hasFocus_ = false;
    activationKey_ = 0;
    update();
    QWidget::focusOutEvent(event);
}

void TGradBtn::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        // A disabled button gets no release, so a press in progress ends here.
        if (!isEnabled()) {
            clickArmed_ = false;
            activationKey_ = 0;
            EndPress();
        }
        update();
    }
    QWidget::changeEvent(event);
}

void TGradBtn::hideEvent(QHideEvent* event)
{
    clickArmed_ = false;
    activationKey_ = 0;
    EndPress();
    QWidget::hideEvent(event);
}

} // namespace vorlane
