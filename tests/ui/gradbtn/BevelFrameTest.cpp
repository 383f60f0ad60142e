#include "ui/gradbtn/BevelFrame.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MaxBevelFrameSize, IsFiveShortOfHalfTheSmallerSide)
{
    EXPECT_EQ(MaxBevelFrameSize(75, 25), 7);
    EXPECT_EQ(MaxBevelFrameSize(75, 22), 6);
    EXPECT_EQ(MaxBevelFrameSize(20, 75), 5);
    EXPECT_EQ(MaxBevelFrameSize(5, 5), -3);
}

} // namespace
} // namespace vorlane
