#include "app/SingleInstance.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(SingleInstance, TellsAnotherInstanceFromALockThatCannotBeMade)
{
    const test::TempDir dir("single-instance");
    const auto file = QString::fromStdString((dir / "vorlane.lock").string());
    SingleInstance first(file);
    EXPECT_EQ(first.TryAcquire(), SingleInstance::Lock::Acquired);
    SingleInstance second(file);
    EXPECT_EQ(second.TryAcquire(), SingleInstance::Lock::HeldByAnother);

    // A folder nobody may write to, root included.
    SingleInstance nowhere(QStringLiteral("/proc/self/fdinfo/vorlane.lock"));
    EXPECT_EQ(nowhere.TryAcquire(), SingleInstance::Lock::Failed);
    EXPECT_NE(nowhere.FailureText().find("/proc/self/fdinfo/vorlane.lock"), std::string::npos);
}

} // namespace
} // namespace vorlane
