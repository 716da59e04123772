#pragma once

#include <cstddef>
#include <functional>

// The threads that work is spread over: one per core, up to a bound that keeps the pictures
// being decoded at once a small part of memory.
unsigned GetWorkerThreads();

// Runs `task(i)` for every i below `count`, on up to `threads` threads, the calling one included,
// started in increasing order of i, and returns once all are done. The tasks must not touch the
// same memory. After a task raises an exception, tasks not yet started are skipped; every task
// before it was started, and the exception of the lowest i is raised here once all ended, as a
// run in order would raise it. When the system refuses threads, fewer run the tasks.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& task,
                   unsigned threads = GetWorkerThreads());
