#pragma once
// Threads that run the work handed to them in the order it was handed over, never
// more pieces at once than the limit. Threads are made as work needs them and live
// until the pool is destroyed.
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

    // How many pieces of work may run at once (at least 1). Work that runs already
    // counts against a lowered limit until it ends.
    void SetLimit(int limit);
    void Start(std::function<void()> work);
    int ThreadCount() const;

  private:
    void Serve();

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FQueue;
    std::vector<std::thread> FThreads;
    int FLimit = 1;
    int FBusy = 0;
    bool FQuit = false;
};
