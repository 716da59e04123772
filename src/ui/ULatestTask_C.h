#pragma once

#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>

namespace NS_Wnd {

// One worker thread for work of which only the latest asked for counts: each Start or Supersede
// makes every earlier task stale, which a task can ask as it runs and its owner asks before taking
// its result. The destructor makes every task stale and waits for the one running, so a task may
// read its owner's members; declare it last among them.
class ULatestTask_C {
public:
    ULatestTask_C() { worker.setMaxThreadCount(1); }
    ~ULatestTask_C() {
        Supersede();
        worker.waitForDone();
    }
    ULatestTask_C(const ULatestTask_C&) = delete;
    ULatestTask_C& operator=(const ULatestTask_C&) = delete;

    // Makes every task stale; returns the number of what replaces them.
    uint64_t Supersede() { return ++latest; }
    bool IsLatest(uint64_t number) const { return latest.load() == number; }
    // Supersedes every task and queues `task`, which is given its number.
    uint64_t Start(const std::function<void(uint64_t number)>& task) {
        const uint64_t number = Supersede();
        worker.start([task, number] { task(number); });
        return number;
    }

private:
    std::atomic<uint64_t> latest = 0;
    QThreadPool worker;
};

}  // namespace NS_Wnd
