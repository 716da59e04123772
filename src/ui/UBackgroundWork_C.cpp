#include "ui/UBackgroundWork_C.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <thread>

#include "foundation/ProductVersion.h"

namespace NS_Wnd {
namespace {

// How long a step runs before its progress is shown, and how often the shown figures follow.
constexpr int ShowAfterMs = 500;
constexpr int RefreshMs = 100;

}  // namespace

UBackgroundWork_C::UBackgroundWork_C(QWidget* newOwner) : owner(newOwner) {}

void UBackgroundWork_C::Cancel() {
    UState_E expected = Working;
    state.compare_exchange_strong(expected, Cancelled);
}

// Called on the worker thread.
bool UBackgroundWork_C::Report(std::size_t done, std::size_t total) {
    stepsDone = done;
    stepsTotal = total;
    if (observer && !observer(done, total)) {
        Cancel();
    }
    UState_E expected = Working;
    if (total > 0 && done == total) {
        state.compare_exchange_strong(expected, Committed);
    }
    return state != Cancelled;
}

void UBackgroundWork_C::Run(const UDescribe_F& describe, const UWork_F& work) {
    running = true;
    state = Working;
    stepsDone = 0;
    stepsTotal = 0;
    finished = false;
    std::exception_ptr failure;
    QEventLoop loop;
    QProgressDialog dialog(describe(0, 0), QString(), 0, 0, owner);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    dialog.setCancelButton(cancel);
    dialog.setWindowTitle(QString::fromUtf8(ProductTitle));
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(ShowAfterMs);
    QObject::connect(&dialog, &QProgressDialog::canceled, [this] { Cancel(); });
    dialog.setValue(0);  // starts the half-second wait

    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        const std::size_t done = stepsDone, total = stepsTotal;
        dialog.setLabelText(describe(done, total));
        if (total > 0 && dialog.maximum() != static_cast<int>(total)) {
            dialog.setRange(0, static_cast<int>(total));
        }
        if (total > 0 && done > 0 && dialog.value() != static_cast<int>(done)) {
            dialog.setValue(static_cast<int>(done));
        }
        cancel->setEnabled(state == Working);
        if (finished) {
            loop.quit();
        }
    });
    refresh.start(RefreshMs);

    std::jthread worker([&] {
        try {
            work([this](std::size_t done, std::size_t total) { return Report(done, total); });
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        // Prompt wake-up; the refresh also quits, should this arrive before the loop runs.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    running = false;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace NS_Wnd
