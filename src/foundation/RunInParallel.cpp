#include "composition/RunInParallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "composition/PictureGroup_C.h"

void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& task) {
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
        const std::size_t threads =
            std::min<std::size_t>(NS_Data::PictureGroup_C::GetLoadingThreads(), count);
        std::vector<std::jthread> helpers;
        try {
            while (helpers.size() + 1 < threads) {
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
