#include "engine/files/jobworker.h"

#include "base/errors.h"
#include "jobs/job.h"

#include <chrono>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// The jobs whose worker has not ended, one slot each. Plain atomics: the
// slot a worker clears is its last touch of the job, and a waiter that sees
// it cleared sees everything the worker did before.
constexpr int kMaxWorkers = 256;
std::atomic<const TJob *> g_running[kMaxWorkers];
std::mutex g_startMutex; // one Start at a time (it looks, then takes a slot)

int SlotOf(const TJob &job)
{
    for (int i = 0; i < kMaxWorkers; ++i) {
        if (g_running[i].load(std::memory_order_acquire) == &job)
            return i;
    }
    return -1;
}

// The step of the waits below; they poll, so that a waiter relies on the
// slots alone.
constexpr std::chrono::milliseconds kPollStep(5);

} // namespace

namespace JobWorker {

bool Start(TJob &job, Hooks hooks)
{
    int slot = -1;
    {
        std::lock_guard<std::mutex> lock(g_startMutex);
        if (SlotOf(job) >= 0)
            return false;
        for (int i = 0; i < kMaxWorkers && slot < 0; ++i) {
            const TJob *empty = nullptr;
            if (g_running[i].compare_exchange_strong(empty, &job, std::memory_order_acq_rel))
                slot = i;
        }
        if (slot < 0)
            return false; // more runs at once than any machine would want
    }
    auto body = [&job, hooks = std::move(hooks), slot]() mutable {
        try {
            if (hooks.body)
                hooks.body();
        } catch (const QvError &e) {
            if (hooks.escapedError)
                hooks.escapedError(e.message());
        } catch (const std::exception &e) {
            if (hooks.escapedError)
                hooks.escapedError(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            if (hooks.escapedError)
                hooks.escapedError(QStringLiteral("unknown error"));
        }
        job.NotifyChanged();
        if (hooks.finished)
            hooks.finished();
        hooks = Hooks(); // nothing the run captured outlives it
        g_running[slot].store(nullptr, std::memory_order_release);
        // From here on the job may be destroyed by a waiter.
    };
    try {
        std::thread(std::move(body)).detach();
    } catch (const std::system_error &) {
        g_running[slot].store(nullptr, std::memory_order_release);
        return false;
    }
    return true;
}

bool IsRunning(const TJob &job)
{
    return SlotOf(job) >= 0;
}

bool WaitForRunToEnd(const TJob &job, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    while (IsRunning(job)) {
        const auto now = std::chrono::steady_clock::now();
        if (timeoutMs >= 0 && now >= deadline)
            return false;
        std::this_thread::sleep_for(timeoutMs < 0 ? std::chrono::steady_clock::duration(kPollStep)
                                                  : std::min<std::chrono::steady_clock::duration>(kPollStep, deadline - now));
    }
    return true;
}

bool WaitWhilePaused(TJob &job)
{
    // A resume or a cancel is seen within one step; the 1000 ms between
    // checks of a held worker are the upper bound, not the rule.
    while (job.JobStatus.load() == jsPaused)
        std::this_thread::sleep_for(kPollStep * 10);
    return job.JobStatus.load() != jsCancelling;
}

} // namespace JobWorker
