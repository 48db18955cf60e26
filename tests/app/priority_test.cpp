// The process priority classes as nice values, applied to every thread.
#include "platform/priority.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(ProcessPriority, ClassesMapToNiceValues)
{
    EXPECT_EQ(ProcessPriority::NiceValueFor(0), 19);
    EXPECT_EQ(ProcessPriority::NiceValueFor(1), 0);
    EXPECT_EQ(ProcessPriority::NiceValueFor(2), -5);
    EXPECT_EQ(ProcessPriority::NiceValueFor(3), -10);
    EXPECT_FALSE(ProcessPriority::NiceValueFor(4).has_value());
    EXPECT_FALSE(ProcessPriority::NiceValueFor(-1).has_value());
}

TEST(ProcessPriority, OtherValuesLeaveThePriorityAlone)
{
    const int before = ProcessPriority::CurrentNiceValue();
    EXPECT_TRUE(ProcessPriority::Apply(7));
    EXPECT_EQ(ProcessPriority::CurrentNiceValue(), before);
}

TEST(ProcessPriority, RaisingNeedsTheRightAndReportsItsAbsence)
{
    QString error;
    const bool ok = ProcessPriority::Apply(2, &error);
    if (::geteuid() == 0) {
        ASSERT_TRUE(ok) << error.toStdString();
        EXPECT_EQ(ProcessPriority::CurrentNiceValue(), -5);
        EXPECT_TRUE(ProcessPriority::Apply(1));
        EXPECT_EQ(ProcessPriority::CurrentNiceValue(), 0);
    } else {
        EXPECT_FALSE(ok);
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(ProcessPriority, IdleReachesThreadsThatAlreadyRun)
{
    std::atomic<bool> stop{false};
    std::atomic<int> seen{-100};
    QThread *worker = QThread::create([&] {
        while (!stop)
            QThread::msleep(5);
        seen = ProcessPriority::CurrentNiceValue();
    });
    worker->start();
    QThread::msleep(20); // the thread exists before the change
    ASSERT_TRUE(ProcessPriority::Apply(0));
    stop = true;
    worker->wait();
    delete worker;
    EXPECT_EQ(seen.load(), 19);
    EXPECT_EQ(ProcessPriority::CurrentNiceValue(), 19);
    if (::geteuid() == 0)
        ProcessPriority::Apply(1); // only root may go back
}
