// Helper threads for pieces of work that touch disjoint data. std::thread reports a thread it
// cannot start by throwing; that is caught here and the calling thread does the rest alone.
#include "platform/worker_threads.h"

#include <system_error>
#include <thread>
#include <vector>

namespace {
void drain(WorkerJob& job)
{
    for (;;) {
        const int32_t piece = job.next.fetch_add(1, std::memory_order_relaxed);
        if (piece >= job.pieces) return;
        job.work(job.context, piece);
    }
}
}  // namespace

int hardwareThreads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

void runWorkerJob(WorkerJob& job, int threads)
{
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads && i < job.pieces; ++i) {
        try {
            helpers.emplace_back([&job] { drain(job); });
        } catch (const std::system_error&) {
            break;
        }
    }
    drain(job);
    for (std::thread& helper : helpers) helper.join();
}
