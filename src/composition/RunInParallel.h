#pragma once

#include <cstddef>
#include <functional>

// Runs `task(i)` for every i below `count`, spread over the loading threads (see
// PictureGroup_C::GetLoadingThreads) and started in increasing order of i, and returns once all
// are done. The tasks must not touch
// the same memory. The first exception a task raises is raised here, after the others ended;
// tasks not yet started are then skipped.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& task);
