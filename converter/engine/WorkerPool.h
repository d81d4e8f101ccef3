#pragma once
// Threads that run the conversions handed to them. A thread is made when work
// arrives and none is free, and every thread lives until the pool is destroyed;
// how many files run at once is the driver's decision, not the pool's.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkerPool {
public:
    TWorkerPool() = default;
    // Waits for the work already handed over to end.
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    void Start(std::function<void()> work);
    int ThreadCount() const;

private:
    void Serve();

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FQueue;
    std::vector<std::thread> FThreads;
    int FIdle = 0;
    bool FQuit = false;
};
