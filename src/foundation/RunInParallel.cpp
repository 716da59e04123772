#include "foundation/RunInParallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

unsigned GetWorkerThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& task,
                   unsigned threads) {
    std::atomic<std::size_t> next{0};
    std::mutex failing;
    std::exception_ptr failure;
    std::size_t failed = count;
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                task(i);
            } catch (...) {
                const std::lock_guard lock(failing);
                if (i < failed) {
                    failed = i;
                    failure = std::current_exception();
                }
                next = count;
            }
        }
    };
    {
        const std::size_t started = std::min<std::size_t>(threads, count);
        std::vector<std::jthread> helpers;
        try {
            while (helpers.size() + 1 < started) {
                helpers.emplace_back(work);
            }
        } catch (const std::system_error&) {
            // Fewer threads only take longer.
        }
        work();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}
