#pragma once

#include <cstddef>
#include <functional>

// Runs `task(i)` for every i below `count`, spread over the loading threads (see
// PictureGroup_C::GetLoadingThreads) and started in increasing order of i, and returns once all
// are done. The tasks must not touch the same memory. After a task raises an exception, tasks
// not yet started are skipped; every task before it was started, and the exception of the
// lowest i is raised here once all ended, as a run in order would raise it.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& task);
