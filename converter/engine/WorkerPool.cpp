#include "WorkerPool.h"

#include <pthread.h>
#include <sched.h>

TWorkerPool::~TWorkerPool() {
    {
        const std::lock_guard lock(FMutex);
        FQuit = true;
    }
    FWake.notify_all();
    for (std::thread& thread : FThreads) thread.join();
}

void TWorkerPool::Start(std::function<void()> work) {
    const std::lock_guard lock(FMutex);
    FQueue.push_back(std::move(work));
    // A thread that has just finished may not be waiting yet; it takes the work
    // as soon as it is, so only work beyond the free threads needs a new one.
    if (static_cast<int>(FQueue.size()) > FIdle)
        FThreads.emplace_back(&TWorkerPool::Serve, this);
    else
        FWake.notify_one();
}

int TWorkerPool::ThreadCount() const {
    const std::lock_guard lock(FMutex);
    return static_cast<int>(FThreads.size());
}

void TWorkerPool::Serve() {
    // Conversions are long runs of computing: as batch work the scheduler lets the
    // window's thread in as soon as it wakes, at no cost to their share of the cores.
    const sched_param batch{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch);
    std::unique_lock lock(FMutex);
    for (;;) {
        ++FIdle;
        FWake.wait(lock, [this] { return FQuit || !FQueue.empty(); });
        --FIdle;
        // Work handed over before the end still runs: its owner waits for its report.
        if (FQueue.empty()) return;
        std::function<void()> work = std::move(FQueue.front());
        FQueue.pop_front();
        lock.unlock();
        work();
        work = nullptr;
        lock.lock();
    }
}
