#include "WorkerPool.h"

#include <algorithm>

TWorkerPool::~TWorkerPool() {
    {
        const std::lock_guard lock(FMutex);
        FQuit = true;
    }
    FWake.notify_all();
    for (std::thread& thread : FThreads)
        thread.join();
}

void TWorkerPool::SetLimit(int limit) {
    {
        const std::lock_guard lock(FMutex);
        FLimit = std::max(limit, 1);
    }
    FWake.notify_all();
}

void TWorkerPool::Start(std::function<void()> work) {
    const std::lock_guard lock(FMutex);
    FQueue.push_back(std::move(work));
    // Enough threads for everything that may run at once; the rest waits in the queue.
    const int wanted = std::min(FLimit, FBusy + static_cast<int>(FQueue.size()));
    if (static_cast<int>(FThreads.size()) < wanted) FThreads.emplace_back(&TWorkerPool::Serve, this);
    FWake.notify_one();
}

int TWorkerPool::ThreadCount() const {
    const std::lock_guard lock(FMutex);
    return static_cast<int>(FThreads.size());
}

void TWorkerPool::Serve() {
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return (FQuit && FQueue.empty()) || (!FQueue.empty() && FBusy < FLimit); });
        // Work handed over before the end still runs: its owner waits for its report.
        if (FQueue.empty()) return;
        std::function<void()> work = std::move(FQueue.front());
        FQueue.pop_front();
        ++FBusy;
        lock.unlock();
        work();
        work = nullptr;
        lock.lock();
        --FBusy;
        // A piece that waited for this one's place may start now.
        FWake.notify_one();
    }
}
