#include "app/TrayTip.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(LimitTrayTip, KeepsShortTipsAndCutsLongOnesBetweenCharacters)
{
    EXPECT_EQ(LimitTrayTip("No new mail"), "No new mail");
    const std::string exact(63, 'x');
    EXPECT_EQ(LimitTrayTip(exact), exact);
    EXPECT_EQ(LimitTrayTip(exact + "y"), std::string(60, 'x') + "...");
    // A two-byte character across the cut is left out whole.
    const auto umlauts = std::string(59, 'a') + "\xC3\xBC\xC3\xBC\xC3\xBC";
    EXPECT_EQ(LimitTrayTip(umlauts), std::string(59, 'a') + "...");
}

} // namespace
} // namespace vorlane
