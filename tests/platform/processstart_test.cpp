// A thread that has started a child process keeps ordering what it shares
// with the threads it starts afterwards. What can break it is the race
// detector's handling of QProcess's vfork-style start
// (platform/tsanprocessstart.cpp): under ThreadSanitizer this test then
// fails with a race report on `shared`; in other builds it checks the
// process start and the hand-over of the data.
#include <QProcess>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

TEST(ProcessStart, ThreadsStartedAfterAChildProcessStayOrdered)
{
    QProcess child;
    child.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")});
    ASSERT_TRUE(child.waitForFinished(30000)) << child.errorString().toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 3);

    // One worker hands a value over through an atomic; a second worker,
    // started only after the hand-over was seen, writes the same value.
    int shared = 0;
    std::atomic<bool> handedOver{false};
    std::thread first([&] {
        shared = 1;
        handedOver.store(true, std::memory_order_release);
    });
    while (!handedOver.load(std::memory_order_acquire))
        std::this_thread::yield();
    std::thread second([&] { shared = 2; });
    second.join();
    first.join();
    EXPECT_EQ(shared, 2);

    // A program that cannot be started is still reported as such.
    QProcess missing;
    missing.start(QStringLiteral("/no/such/program"), {});
    EXPECT_FALSE(missing.waitForStarted(30000));
    EXPECT_EQ(missing.error(), QProcess::FailedToStart);
}
