#include "composition/LoadPictures.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace {

using NS_Data::PictureGroup_C;

// Shares the paths among the loading threads. Paths are taken in order; after a failure no
// path beyond it is started, so every path before the first failure is loaded whatever the
// timing, and the error reported is the one a load in order would meet.
class UBatchLoader_C {
public:
    UBatchLoader_C(const std::vector<std::string>& batch, const UProgress_F& listener,
                   bool allFrames)
        : paths(batch),
          progress(listener),
          frames(allFrames),
          loaded(batch.size()),
          failures(batch.size()),
          end(batch.size()) {}

    void Work();
    // Appends the loaded prefix and raises the first failure; false when stopped.
    bool Finish(PictureGroup_C& group, std::vector<std::vector<int32_t>>* frameDelays);

private:
    void Report();
    void Stop(std::size_t before);

    const std::vector<std::string>& paths;
    const UProgress_F& progress;
    const bool frames;
    std::vector<std::optional<PictureGroup_C::ULoaded_S>> loaded;
    std::vector<std::exception_ptr> failures;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> end;
    std::mutex reporting;
    std::size_t done = 0;
    bool stopped = false;
    std::exception_ptr listenerFailure;
};

void UBatchLoader_C::Work() {
    for (std::size_t i = next++; i < end; i = next++) {
        try {
            loaded[i] = PictureGroup_C::Load(paths[i].c_str(), frames);
        } catch (...) {
            failures[i] = std::current_exception();
            Stop(i);
        }
        Report();
    }
}

void UBatchLoader_C::Report() {
    const std::lock_guard lock(reporting);
    ++done;
    if (!progress || stopped) {
        return;
    }
    try {
        if (!progress(done, paths.size())) {
            stopped = true;
            Stop(0);
        }
    } catch (...) {
        listenerFailure = std::current_exception();
        stopped = true;
        Stop(0);
    }
}

void UBatchLoader_C::Stop(std::size_t before) {
    std::size_t current = end;
    while (before < current && !end.compare_exchange_weak(current, before)) {
    }
}

bool UBatchLoader_C::Finish(PictureGroup_C& group, std::vector<std::vector<int32_t>>* frameDelays) {
    if (listenerFailure) {
        std::rethrow_exception(listenerFailure);
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (failures[i]) {
            std::rethrow_exception(failures[i]);
        }
        if (!loaded[i]) {
            return false;
        }
        if (frameDelays) {
            frameDelays->push_back(loaded[i]->delays);
        }
        group.Append(std::move(*loaded[i]));
        loaded[i].reset();
    }
    return !stopped;
}

}  // namespace

bool LoadPictures(PictureGroup_C& group, const std::vector<std::string>& paths,
                  const UProgress_F& progress, std::vector<std::vector<int32_t>>* frameDelays) {
    UBatchLoader_C loader(paths, progress, frameDelays != nullptr);
    {
        const std::size_t count =
            std::min<std::size_t>(PictureGroup_C::GetLoadingThreads(), paths.size());
        std::vector<std::jthread> helpers;
        try {
            while (helpers.size() + 1 < count) {
                helpers.emplace_back([&loader] { loader.Work(); });
            }
        } catch (const std::system_error&) {
            // Fewer threads only make the loading slower.
        }
        loader.Work();
    }
    return loader.Finish(group, frameDelays);
}
