#include "ui/DialogUnits.h"

#include <QApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {

constexpr double kDesignPointSize = 8.0;

} // namespace

DialogUnits::DialogUnits() : DialogUnits(QApplication::font()) {}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    // The average over the alphabet, as the width of real words goes.
    const double charWidth = metrics.horizontalAdvance(QStringLiteral(
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                             52.0;
    horizontal_ = std::max(1.0, charWidth / kDesignCharWidth);
    vertical_ = std::max(1.0, metrics.height() / kDesignLineHeight);
}

int DialogUnits::X(int designX) const
{
    return static_cast<int>(std::lround(designX * horizontal_));
}

int DialogUnits::Y(int designY) const
{
    return static_cast<int>(std::lround(designY * vertical_));
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const
{
    // Edges, not sizes, are scaled, so that neighbours that touched in the design still touch.
    const int left = X(x);
    const int top = Y(y);
    return {left, top, X(x + width) - left, Y(y + height) - top};
}

QRect DialogUnits::Rect(const QRect& design) const
{
    return Rect(design.x(), design.y(), design.width(), design.height());
}

QFont ScaledApplicationFont(double designPointSize)
{
    QFont font = QApplication::font();
    const double size = font.pointSizeF() > 0 ? font.pointSizeF() : kDesignPointSize;
    font.setPointSizeF(std::max(designPointSize, size * designPointSize / kDesignPointSize));
    return font;
}

} // namespace vorlane
