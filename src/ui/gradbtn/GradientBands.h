#pragma once

#include "ui/gradbtn/GradBtnTypes.h"
#include "ui/gradbtn/WinColor.h"

#include <vector>

namespace vorlane {

// One filled shape of a button face. Edges follow the Windows convention: left and top belong
// to the shape, right and bottom do not. Ellipses are inscribed in their rectangle.
struct GradientBand
{
    enum Shape
    {
        Rectangle,
        Ellipse,
    };
    Shape shape = Rectangle;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    TColor color = 0;

    bool operator==(const GradientBand&) const = default;
};

// The colour of step i of n between two plain colours: per channel begin + MulDiv(i, end -
// begin, n), truncated to a byte. With n = 0 (a face too small to have steps) the begin colour.
TColor BandColor(TColor begin, TColor end, int i, int n);

// The bands that paint a width x height face, in painting order (later bands cover earlier
// ones). Begin and end must be plain colours; system colours are resolved by the caller.
std::vector<GradientBand> GradientBands(TGradientStyle style, int width, int height, TColor begin,
                                        TColor end);

} // namespace vorlane
