#include "Parallel.h"

#include <exception>
#include <mutex>
#include <system_error>
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
    {
        // Joining threads: whatever happens below, none is left running unjoined.
        std::vector<std::jthread> threads;
        threads.reserve(std::size_t(parts > 1 ? parts - 1 : 0));
        for (int part = 1; part < parts; ++part) {
            try {
                threads.emplace_back(guarded, part);
            } catch (const std::system_error&) {
                // No thread to be had: the part is done here instead.
                guarded(part);
            }
        }
        if (parts > 0) guarded(0);
    }
    if (failure) std::rethrow_exception(failure);
}
