#include "ui/gradbtn/EllipseSpans.h"

#include <cmath>

namespace vorlane {

std::vector<PixelSpan> EllipseSpans(int left, int top, int right, int bottom)
{
    std::vector<PixelSpan> spans;
    if (right <= left || bottom <= top)
        return spans;
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double a = (right - left) / 2.0;
    const double b = (bottom - top) / 2.0;
    for (int y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / b;
        const double rest = 1.0 - dy * dy;
        if (rest < 0)
            continue;
        const double half = a * std::sqrt(rest);
        // Pixel x is in when its centre x + 0.5 lies within cx -/+ half.
        const int first = static_cast<int>(std::ceil(cx - half - 0.5));
        const int last = static_cast<int>(std::floor(cx + half - 0.5));
        if (last >= first)
            spans.push_back({y, first, last + 1});
    }
    return spans;
}

} // namespace vorlane
