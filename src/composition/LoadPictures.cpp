#include "composition/LoadPictures.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

#include "foundation/RunInParallel.h"
#include "imaging/UImageData_C.h"

namespace {

using NS_Data::PictureGroup_C;

// Loads the paths given to it by RunInParallel, which hands them out in order; after a failure
// no path beyond it is started, so every path before the first failure is loaded whatever the
// timing, and the error reported is the one a load in order would meet.
class UBatchLoader_C {
public:
    UBatchLoader_C(const std::vector<std::string>& batch, const UProgress_F& listener,
                   bool allFrames, NS_Data::UPictureCache_C* shared)
        : paths(batch),
          cache(shared),
          progress(listener),
          frames(allFrames),
          loaded(batch.size()),
          failures(batch.size()),
          end(batch.size()) {}

    // Never throws: failures are kept for Finish.
    void Load(std::size_t index);
    // Appends the loaded prefix and raises the first failure; false when stopped.
    bool Finish(PictureGroup_C& group, std::vector<std::vector<int32_t>>* frameDelays);

private:
    void Report();
    void Stop(std::size_t before);

    const std::vector<std::string>& paths;
    NS_Data::UPictureCache_C* cache;
    const UProgress_F& progress;
    const bool frames;
    std::vector<std::optional<PictureGroup_C::ULoaded_S>> loaded;
    std::vector<std::exception_ptr> failures;
    std::atomic<std::size_t> end;
    std::mutex reporting;
    std::size_t done = 0;
    bool stopped = false;
    std::exception_ptr listenerFailure;
};

void UBatchLoader_C::Load(std::size_t index) {
    if (index >= end) {
        return;
    }
    try {
        loaded[index] = cache ? cache->Load(paths[index], frames)
                              : PictureGroup_C::Load(paths[index].c_str(), frames);
    } catch (...) {
        failures[index] = std::current_exception();
        Stop(index);
    }
    Report();
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
                  const UProgress_F& progress, std::vector<std::vector<int32_t>>* frameDelays,
                  NS_Data::UPictureCache_C* cache) {
    // On this thread, the main one of a run from the command line, before any picture decodes.
    UImageData_C::PrepareDecoders();
    UBatchLoader_C loader(paths, progress, frameDelays != nullptr, cache);
    RunInParallel(paths.size(), [&loader](std::size_t index) { loader.Load(index); });
    return loader.Finish(group, frameDelays);
}
