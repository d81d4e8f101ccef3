#pragma once
// Splits one picture's work over the machine's cores.
#include <functional>

// How many parts a piece of work is worth splitting into here (at least 1).
int WorkerCount();
// Runs work(0) … work(parts − 1), part 0 on the calling thread and each other part on
// a thread of its own; returns when all have ended and rethrows the first exception.
void RunParts(int parts, const std::function<void(int part)>& work);
