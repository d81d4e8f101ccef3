#include "LargeBlocks.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

// Under AddressSanitizer every block is fresh, so that reuse cannot hide a use after free.
#if defined(__SANITIZE_ADDRESS__)
#define FORMSHIFT_CACHE_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FORMSHIFT_CACHE_BLOCKS 0
#endif
#endif
#ifndef FORMSHIFT_CACHE_BLOCKS
#define FORMSHIFT_CACHE_BLOCKS 1
#endif

namespace {

constexpr std::size_t SmallestCached = std::size_t(1) << 20;
constexpr std::size_t MaxCachedBytes = std::size_t(256) << 20;
constexpr std::size_t MaxCachedBlocks = 4;

struct TBlock {
    std::uint8_t* Data;
    std::size_t Capacity;
};

struct TCache {
    std::mutex Lock;
    std::vector<TBlock> Blocks; // oldest first
    std::size_t Bytes = 0;
};

TCache& Cache() {
    static TCache cache;
    return cache;
}

void Give(std::uint8_t* data, std::size_t capacity) {
    if (!FORMSHIFT_CACHE_BLOCKS || capacity > MaxCachedBytes) {
        std::free(data);
        return;
    }
    TCache& cache = Cache();
    std::vector<std::uint8_t*> evicted;
    {
        const std::lock_guard<std::mutex> hold(cache.Lock);
        cache.Blocks.push_back({data, capacity});
        cache.Bytes += capacity;
        while (cache.Bytes > MaxCachedBytes || cache.Blocks.size() > MaxCachedBlocks) {
            evicted.push_back(cache.Blocks.front().Data);
            cache.Bytes -= cache.Blocks.front().Capacity;
            cache.Blocks.erase(cache.Blocks.begin());
        }
    }
    for (std::uint8_t* block : evicted)
        std::free(block);
}

std::shared_ptr<std::uint8_t[]> Own(std::uint8_t* data, std::size_t capacity) {
    return std::shared_ptr<std::uint8_t[]>(data, [capacity](std::uint8_t* p) { Give(p, capacity); });
}

} // namespace

std::shared_ptr<std::uint8_t[]> AllocateBlock(std::size_t bytes) {
    if (bytes < SmallestCached) return std::make_shared_for_overwrite<std::uint8_t[]>(bytes);
    {
        // The smallest cached block that fits without wasting more than half of itself.
        TCache& cache = Cache();
        const std::lock_guard<std::mutex> hold(cache.Lock);
        auto best = cache.Blocks.end();
        for (auto it = cache.Blocks.begin(); it != cache.Blocks.end(); ++it)
            if (it->Capacity >= bytes && it->Capacity / 2 <= bytes &&
                (best == cache.Blocks.end() || it->Capacity < best->Capacity))
                best = it;
        if (best != cache.Blocks.end()) {
            const TBlock block = *best;
            cache.Bytes -= block.Capacity;
            cache.Blocks.erase(best);
            return Own(block.Data, block.Capacity);
        }
    }
    auto* data = static_cast<std::uint8_t*>(std::malloc(bytes));
    if (!data) throw std::bad_alloc();
    return Own(data, bytes);
}

void ReleaseCachedBlocks() {
    TCache& cache = Cache();
    std::vector<TBlock> blocks;
    {
        const std::lock_guard<std::mutex> hold(cache.Lock);
        blocks.swap(cache.Blocks);
        cache.Bytes = 0;
    }
    for (const TBlock& block : blocks)
        std::free(block.Data);
}
