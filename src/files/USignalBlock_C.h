#pragma once

#include <signal.h>

namespace NS_Data {

// Holds SIGINT, SIGTERM and SIGHUP back on the calling thread for its lifetime; one that arrives
// meanwhile is delivered when the block ends. Blocks nest: each restores the mask it found.
class USignalBlock_C {
public:
    // The signals that end a run and that a pending write cleans up after.
    static constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

    USignalBlock_C() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (const int signal : EndingSignals) {
            sigaddset(&blocked, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    }
    ~USignalBlock_C() { ::pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
    USignalBlock_C(const USignalBlock_C&) = delete;
    USignalBlock_C& operator=(const USignalBlock_C&) = delete;

private:
    sigset_t previous;
};

}  // namespace NS_Data
