#include "ui/GradientBands.h"

#include "ui/BevelFrame.h"
#include "ui/EllipseSpans.h"
#include "ui/MulDiv.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    const struct
    {
        int a, b, c, expected;
    } cases[] = {
        {1, 75, 256, 0},              // 0.29
        {2, 75, 256, 1},              // 0.59
        {128, 75, 256, 38},           // 37.5
        {1, 1, 2, 1},                 // 0.5
        {1, -1, 2, -1},               // -0.5
        {-3, 1, 2, -2},               // -1.5
        {1, -113, 2, -57},            // -56.5
        {5, -111, 255, -2},           // -2.18
        {128, -111, 255, -56},        // -55.72
        {3, 5, -2, -8},               // -7.5
        {255, 255, 255, 255},         // the end of a gradient
        {65536, 65536, 65536, 65536}, // the product does not overflow
        {7, 7, 0, -1},                // no divisor
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(BandColor, StepsEachChannelFromBeginToEnd)
{
    const struct
    {
        TColor begin, end;
        int i, n;
        TColor expected;
    } cases[] = {
        {0xCECECE, 0x5F5F5F, 0, 255, 0xCECECE},
        {0xCECECE, 0x5F5F5F, 255, 255, 0x5F5F5F},
        {0xCECECE, 0x5F5F5F, 128, 255, 0x969696}, // 206 - 55.72, rounded to 56
        {0x800000, 0xFFFF00, 6, 12, 0xC08000},    // green 127.5 -> 128, blue 128 + 63.5 -> 192
        {0x0000FF, 0x00FF00, 1, 2, 0x00807F},     // red 255 - 127.5 -> 127, green 127.5 -> 128
        {0x102030, 0x102030, 77, 155, 0x102030},
        {0x123456, 0xABCDEF, 0, 0, 0x123456}, // a face without steps
    };
    for (const auto& c : cases)
        EXPECT_EQ(BandColor(c.begin, c.end, c.i, c.n), c.expected)
            << std::hex << c.begin << " " << c.end << std::dec << " " << c.i << "/" << c.n;
}

TEST(MaxBevelFrameSize, IsFiveShortOfHalfTheSmallerSide)
{
    EXPECT_EQ(MaxBevelFrameSize(75, 25), 7);
    EXPECT_EQ(MaxBevelFrameSize(75, 22), 6);
    EXPECT_EQ(MaxBevelFrameSize(20, 75), 5);
    EXPECT_EQ(MaxBevelFrameSize(5, 5), -3);
}

TEST(GradientBands, CentreStylesPaintEveryLineOnceOrTwiceWithTheMiddleLast)
{
    const auto bands = GradientBands(gsVertCenter, 75, 4, 0x000000, 0xFFFFFF);
    // Steps 0, 1, 2 over rows 0 and 4 (outside), 1 and 3, 2 and 2.
    const std::vector<GradientBand> expected = {
        {GradientBand::Rectangle, 0, 0, 75, 1, 0x000000},
        {GradientBand::Rectangle, 0, 1, 75, 2, 0x808080},
        {GradientBand::Rectangle, 0, 3, 75, 4, 0x808080},
        {GradientBand::Rectangle, 0, 2, 75, 3, 0xFFFFFF},
        {GradientBand::Rectangle, 0, 2, 75, 3, 0xFFFFFF},
    };
    EXPECT_EQ(bands, expected);
}

TEST(GradientBands, EllipsesShrinkOntoTheCentreAndTheLastKeepsAPixel)
{
    const auto bands = GradientBands(gsElliptic, 75, 25, 0x000000, 0x9B9B9B);
    ASSERT_EQ(bands.size(), 156u);
    EXPECT_EQ(bands.front(), (GradientBand{GradientBand::Ellipse, -18, -6, 93, 31, 0x000000}));
    EXPECT_EQ(bands.back(), (GradientBand{GradientBand::Ellipse, 37, 12, 38, 13, 0x9B9B9B}));
}

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
