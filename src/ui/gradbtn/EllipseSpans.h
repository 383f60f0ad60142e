#pragma once

#include <vector>

namespace vorlane {

// One row of a filled shape: the pixels left <= x < right of row y.
struct PixelSpan
{
    int y = 0;
    int left = 0;
    int right = 0;

    bool operator==(const PixelSpan&) const = default;
};

// The pixels of the ellipse inscribed in the rectangle (left and top inside, right and bottom
// outside) whose centres lie inside the ellipse or on its edge, row by row from the top. Rows
// without any pixel are left out. Done by hand rather than by the painter so that even a one-pixel
// ellipse covers its pixel and the result does not depend on a rasterizer's rounding.
std::vector<PixelSpan> EllipseSpans(int left, int top, int right, int bottom);

} // namespace vorlane
