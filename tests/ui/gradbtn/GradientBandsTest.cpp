#include "ui/gradbtn/GradientBands.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

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

TEST(GradientBands, CentreStylesPaintEveryLineOnceOrTwiceWithTheMiddleLast)
{
    const auto bands = GradientBands(TGradientStyle::gsVertCenter, 75, 4, 0x000000, 0xFFFFFF);
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
    const auto bands = GradientBands(TGradientStyle::gsElliptic, 75, 25, 0x000000, 0x9B9B9B);
    ASSERT_EQ(bands.size(), 156u);
    EXPECT_EQ(bands.front(), (GradientBand{GradientBand::Ellipse, -18, -6, 93, 31, 0x000000}));
    EXPECT_EQ(bands.back(), (GradientBand{GradientBand::Ellipse, 37, 12, 38, 13, 0x9B9B9B}));
}

} // namespace
} // namespace vorlane
