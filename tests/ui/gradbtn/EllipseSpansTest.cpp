#include "ui/gradbtn/EllipseSpans.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(EllipseSpans, TakesThePixelsWhoseCentresLieInside)
{
    const struct
    {
        int left, top, right, bottom;
        std::vector<PixelSpan> expected;
    } cases[] = {
        {37, 12, 38, 13, {{12, 37, 38}}},
        {0, 0, 4, 2, {{0, 0, 4}, {1, 0, 4}}},
        {0, 0, 5, 5, {{0, 1, 4}, {1, 0, 5}, {2, 0, 5}, {3, 0, 5}, {4, 1, 4}}},
        {-2, -1, 3, 4, {{-1, -1, 2}, {0, -2, 3}, {1, -2, 3}, {2, -2, 3}, {3, -1, 2}}},
        {5, 5, 5, 9, {}},
        {5, 9, 8, 5, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EllipseSpans(c.left, c.top, c.right, c.bottom), c.expected)
            << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom;
}

} // namespace
} // namespace vorlane
