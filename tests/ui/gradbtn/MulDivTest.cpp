#include "ui/gradbtn/MulDiv.h"

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

} // namespace
} // namespace vorlane
