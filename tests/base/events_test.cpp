#include "base/datetime.h"
#include "base/events.h"

#include <QSet>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
TEST(Events, AddEventStampsAndQueuesInOrder)
{
    PendingEvents::TakeAll();
    const QDateTime fixed(QDate(2023, 3, 15), QTime(12, 0, 1));
    Clock::SetOverride([fixed] { return fixed; });
    AddEvent(QStringLiteral("first"));
    PendingEvents::Append(QStringLiteral("raw line"));
    AddEvent(QStringLiteral("second"));
    Clock::SetOverride({});
    const QStringList lines = PendingEvents::TakeAll();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], DateTimeToStr(fixed) + QStringLiteral(": first"));
    EXPECT_EQ(lines[1], QStringLiteral("raw line"));
    EXPECT_EQ(lines[2], DateTimeToStr(fixed) + QStringLiteral(": second"));
    EXPECT_TRUE(PendingEvents::TakeAll().isEmpty());
}

TEST(Events, ManyThreadsLoseNothing)
{
    PendingEvents::TakeAll();
    constexpr int kThreads = 8;
    constexpr int kPerThread = 500;
    QStringList drained;
    std::atomic<bool> done{false};
    // The main thread drains while the workers add, like the window does.
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i)
                AddEvent(QStringLiteral("t%1-%2").arg(t).arg(i));
        });
    }
    std::thread drainer([&] {
        while (!done)
            drained += PendingEvents::TakeAll();
    });
    for (auto &w : workers)
        w.join();
    done = true;
    drainer.join();
    drained += PendingEvents::TakeAll();

    ASSERT_EQ(drained.size(), kThreads * kPerThread);
    QSet<QString> seen;
    std::vector<int> next(kThreads, 0);
    for (const QString &line : drained) {
        const QString text = line.mid(line.lastIndexOf(QStringLiteral(": ")) + 2);
        EXPECT_FALSE(seen.contains(text)) << text.toStdString();
        seen.insert(text);
        // Each thread's lines keep their order.
        const int t = text.mid(1, text.indexOf(QLatin1Char('-')) - 1).toInt();
        EXPECT_EQ(text.mid(text.indexOf(QLatin1Char('-')) + 1).toInt(), next[t]++);
    }
}
} // namespace
