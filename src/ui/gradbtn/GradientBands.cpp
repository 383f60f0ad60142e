#include "ui/gradbtn/GradientBands.h"

#include "ui/gradbtn/MulDiv.h"

#include <algorithm>
#include <utility>

namespace vorlane {

namespace {

GradientBand Band(GradientBand::Shape shape, int left, int top, int right, int bottom, TColor color)
{
    return {shape, left, top, right, bottom, color};
}

// Rows i and size - i get step i, so the first edge starts with the begin colour, the far edge
// with step 1 (row "size" itself lies outside), and the middle ends with the end colour.
void AddCentreBands(std::vector<GradientBand>& bands, bool rows, int width, int height,
                    TColor begin, TColor end)
{
    const int size = rows ? height : width;
    const int n = size / 2;
    for (int i = 0; i <= n; ++i) {
        const TColor color = BandColor(begin, end, i, n);
        for (const int line : {i, size - i}) {
            if (line >= size)
                continue;
            if (rows)
                bands.push_back(Band(GradientBand::Rectangle, 0, line, width, line + 1, color));
            else
                bands.push_back(Band(GradientBand::Rectangle, line, 0, line + 1, height, color));
        }
    }
}

// The last ellipses collapse onto the centre, and after truncation their rectangles are empty or
// inside out; drawn as they are, the centre would never get the end colour. So an ellipse keeps
// at least the pixel at its (ordered) left and top edges.
void KeepVisible(GradientBand& band)
{
    if (band.right < band.left)
        std::swap(band.left, band.right);
    if (band.bottom < band.top)
        std::swap(band.top, band.bottom);
    band.right = std::max(band.right, band.left + 1);
    band.bottom = std::max(band.bottom, band.top + 1);
}

// Shapes that shrink towards the centre. The edges are kept as reals and stepped one by one,
// then truncated toward zero, so the rounding of each band matches the stepping.
void AddShrinkingBands(std::vector<GradientBand>& bands, GradientBand::Shape shape, int steps,
                       double left, double top, double right, double bottom, double sx, double sy,
                       TColor begin, TColor end)
{
    for (int i = 0; i < steps; ++i) {
        left += sx;
        right -= sx;
        top += sy;
        bottom -= sy;
        GradientBand band =
            Band(shape, static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                 static_cast<int>(bottom), BandColor(begin, end, i, steps - 1));
        if (shape == GradientBand::Ellipse)
            KeepVisible(band);
        bands.push_back(band);
    }
}

} // namespace

TColor BandColor(TColor begin, TColor end, int i, int n)
{
    if (n == 0)
        return RgbColor(RedOf(begin), GreenOf(begin), BlueOf(begin));
    return RgbColor(RedOf(begin) + MulDiv(i, RedOf(end) - RedOf(begin), n),
                    GreenOf(begin) + MulDiv(i, GreenOf(end) - GreenOf(begin), n),
                    BlueOf(begin) + MulDiv(i, BlueOf(end) - BlueOf(begin), n));
}

std::vector<GradientBand> GradientBands(TGradientStyle style, int width, int height, TColor begin,
                                        TColor end)
{
    std::vector<GradientBand> bands;
    switch (style) {
    case TGradientStyle::gsHorizontal:
        for (int i = 0; i < 256; ++i)
            bands.push_back(Band(GradientBand::Rectangle, MulDiv(i, width, 256), 0,
                                 MulDiv(i + 1, width, 256), height, BandColor(begin, end, i, 255)));
        break;
    case TGradientStyle::gsVertical:
        for (int i = 0; i < 256; ++i)
            bands.push_back(Band(GradientBand::Rectangle, 0, MulDiv(i, height, 256), width,
                                 MulDiv(i + 1, height, 256), BandColor(begin, end, i, 255)));
        break;
    case TGradientStyle::gsVertCenter:
        AddCentreBands(bands, true, width, height, begin, end);
        break;
    case TGradientStyle::gsHorizCenter:
        AddCentreBands(bands, false, width, height, begin, end);
        break;
    case TGradientStyle::gsRectangle:
        // Every rectangle ends short of the right column and the bottom row; they keep the
        // outermost colour instead of whatever the image held before.
        bands.push_back(
            Band(GradientBand::Rectangle, 0, 0, width, height, BandColor(begin, end, 0, 255)));
        AddShrinkingBands(bands, GradientBand::Rectangle, 256, 0, 0, width, height,
                          width * 0.5 / 255, height * 0.5 / 255, begin, end);
        break;
    case TGradientStyle::gsElliptic:
        AddShrinkingBands(bands, GradientBand::Ellipse, 156, -0.25 * width, -0.25 * height,
                          1.25 * width, 1.25 * height, 0.75 * width / 155, 0.75 * height / 155,
                          begin, end);
        break;
    }
    return bands;
}

} // namespace vorlane
