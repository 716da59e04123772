#pragma once

#include <signal.h>

#include <atomic>
#include <cstdint>

namespace NS_Data {

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime: blocked on the calling thread, and,
// through Defer, put off by this program's own handlers when another thread takes them (the
// window composes on a worker thread while its main thread takes signals). A signal that arrives
// meanwhile is delivered when the last block ends. Blocks nest.
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
        state.fetch_add(1);
    }
    ~USignalBlock_C() {
        uint32_t now = state.load();
        uint32_t next = 0;
        do {
            const uint32_t count = (now & Count) - 1;
            // The last block takes the deferred signal with it.
            next = count == 0 ? 0 : (now & ~Count) | count;
        } while (!state.compare_exchange_weak(now, next));
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        if ((now & Count) == 1 && now >> Shift != 0) {
            ::raise(static_cast<int>(now >> Shift));
        }
    }
    USignalBlock_C(const USignalBlock_C&) = delete;
    USignalBlock_C& operator=(const USignalBlock_C&) = delete;

    // For a signal handler: true, keeping `signal` for the end of the last block, while any
    // thread holds a block. Async-signal-safe.
    static bool Defer(int signal) {
        uint32_t now = state.load();
        while ((now & Count) != 0) {
            if (state.compare_exchange_weak(now, (now & Count) | uint32_t(signal) << Shift)) {
                return true;
            }
        }
        return false;
    }

private:
    // The low bits count the blocks held, the bits above hold a deferred signal.
    static constexpr uint32_t Shift = 16;
    static constexpr uint32_t Count = (1u << Shift) - 1;
    static inline std::atomic<uint32_t> state{0};

    sigset_t previous;
};

}  // namespace NS_Data
