// Work spread over the machine's cores: a job pulls numbered pieces from a shared counter on
// the calling thread and on helper threads, so the result never depends on how many threads
// ran it, and a helper that cannot be started only leaves more pieces to the others.
#pragma once

#include <atomic>
#include <cstdint>

struct WorkerJob {
    std::atomic<int32_t> next{0};  // the next piece to take
    int32_t pieces = 0;
    void (*work)(void* context, int32_t piece) = nullptr;
    void* context = nullptr;
};

// How many threads the machine runs at once (at least 1).
int hardwareThreads();
// Runs every piece of job once, on the calling thread and up to threads - 1 helpers; returns
// when all are done. Pieces run in any order and at the same time as each other.
void runWorkerJob(WorkerJob& job, int threads);
