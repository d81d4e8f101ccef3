#include "Parallel.h"

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

int WorkerCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : int(cores > 8 ? 8 : cores);
}

void RunParts(int parts, const std::function<void(int part)>& work) {
    std::exception_ptr failure;
    std::mutex lock;
    auto guarded = [&](int part) {
        try {
            work(part);
        } catch (...) {
            const std::lock_guard<std::mutex> hold(lock);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(parts > 1 ? parts - 1 : 0));
    for (int part = 1; part < parts; ++part)
        threads.emplace_back(guarded, part);
    if (parts > 0) guarded(0);
    for (auto& thread : threads)
        thread.join();
    if (failure) std::rethrow_exception(failure);
}
