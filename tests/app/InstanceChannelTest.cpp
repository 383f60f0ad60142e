#include "app/InstanceChannel.h"

#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace vorlane {
namespace {

// Sends from another thread, as another process would, while this one's event loop serves.
bool SendWhileServing(const QString& path, const std::string& word)
{
    bool delivered = false;
    std::atomic<bool> done = false;
    std::thread sender([&] {
        delivered = InstanceChannel::Send(path, word, 2000);
        done = true;
    });
    for (int i = 0; i < 100 && !done; ++i)
        QTest::qWait(30);
    sender.join();
    return delivered;
}

TEST(InstanceChannel, ALaterStartHandsItsWordToTheRunningInstance)
{
    const test::TempDir dir("channel");
    const auto lock = QString::fromStdString((dir / "vorlane.lock").string());
    const auto path = InstanceChannel::SocketPath(lock);
    EXPECT_EQ(path.toStdString(), (dir / "vorlane.socket").string());
    std::ofstream(path.toStdString()) << "left by an instance that died";

    std::vector<std::string> words;
    InstanceChannel channel;
    ASSERT_TRUE(channel.Listen(path, [&](const std::string& word) { words.push_back(word); }));
    EXPECT_TRUE(SendWhileServing(path, "settings"));
    EXPECT_TRUE(SendWhileServing(path, "quit"));
    EXPECT_EQ(words, (std::vector<std::string>{"settings", "quit"}));
}

TEST(InstanceChannel, NobodyListeningIsToldWithinTheTimeGiven)
{
    const test::TempDir dir("channel");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(InstanceChannel::Send(QString::fromStdString((dir / "none.socket").string()),
                                       "settings", 300));
    EXPECT_LT(clock.elapsed(), 3000);
}

} // namespace
} // namespace vorlane
