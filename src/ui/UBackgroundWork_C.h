#pragma once

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>

#include "composition/UProgress_F.h"

class QWidget;

namespace NS_Wnd {

// Runs the long step of a command on a worker thread while the window's own events go on, and
// shows a progress dialog with a Cancel button once the step has taken half a second.
//
// The step reports through the progress callback it is given. Cancel stops it at its next
// report; once it reports its last step done (done == total > 0), what follows can no longer be
// cancelled, so that a cancelled command has written nothing.
class UBackgroundWork_C {
public:
    using UWork_F = std::function<void(const UProgress_F& progress)>;
    // The dialog's text for `done` steps out of `total` (0 while not known).
    using UDescribe_F = std::function<QString(std::size_t done, std::size_t total)>;

    explicit UBackgroundWork_C(QWidget* owner);

    // Runs `work` and returns when it has ended; what it threw is thrown here.
    void Run(const UDescribe_F& describe, const UWork_F& work);
    bool IsRunning() const { return running; }
    // Asks the running work to stop; ignored once its last step is done.
    void Cancel();
    // Also told of every step, on the worker thread; returning false cancels. For tests.
    void SetObserver(UProgress_F newObserver) { observer = std::move(newObserver); }

private:
    enum UState_E { Working, Cancelled, Committed };

    bool Report(std::size_t done, std::size_t total);

    QWidget* owner;
    UProgress_F observer;
    bool running = false;
    std::atomic<UState_E> state = Working;
    std::atomic<std::size_t> stepsDone = 0;
    std::atomic<std::size_t> stepsTotal = 0;
    std::atomic<bool> finished = false;
};

}  // namespace NS_Wnd
