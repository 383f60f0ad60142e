#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vorlane {

// The windows are laid out in the pixels of their design font (an average character of about
// 6.8 pixels and a line of 12.8, DejaVu Sans or Verdana at 8 points and 96 dpi). Those design
// pixels become the pixels of the font the windows really show, the desktop's: at the design
// size the layout is exactly as designed, with a larger font everything grows with it, and
// nothing is ever made smaller.
class DialogUnits
{
public:
    static constexpr double kDesignCharWidth = 6.79;
    static constexpr double kDesignLineHeight = 12.8;

    // The units of the application's font, which every window shows.
    DialogUnits();
    explicit DialogUnits(const QFont& font);

    int X(int designX) const;
    int Y(int designY) const;
    QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const;
    QRect Rect(const QRect& design) const;

    double Horizontal() const { return horizontal_; }
    double Vertical() const { return vertical_; }

private:
    double horizontal_ = 1.0;
    double vertical_ = 1.0;
};

// A font as many points larger than the application's as the design's bold 10 is larger than
// its 8 (the buttons' captions, the about box's title).
QFont ScaledApplicationFont(double designPointSize);

} // namespace vorlane
