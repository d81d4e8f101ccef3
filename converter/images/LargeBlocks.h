#pragma once
// Large pixel and scratch blocks, kept for reuse. Converting a batch of photographs would
// otherwise have the kernel map, zero and unmap the same hundred megabytes for every file,
// which costs a quarter of the time of a PNG to JPEG conversion. A few freed blocks, at
// most 256 MiB together, wait for the next picture.
#include <cstddef>
#include <cstdint>
#include <memory>

// Uninitialised memory of at least `bytes` bytes. Throws std::bad_alloc.
std::shared_ptr<std::uint8_t[]> AllocateBlock(std::size_t bytes);
// Frees the cached blocks.
void ReleaseCachedBlocks();
