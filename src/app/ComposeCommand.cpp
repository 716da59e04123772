#include "app/ComposeCommand.h"

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/UComposeJob_C.h"
#include "foundation/UError_C.h"

namespace {

// One line on a terminal's standard error, rewritten in place from the first picture loaded to
// the last file written, and erased afterwards, so that a message printed next starts on a
// clean line.
class UProgressLine_C {
public:
    explicit UProgressLine_C(const NS_Data::UComposeOptions_S& options)
        : packs(options.layout == NS_Data::ULayout_E::Packed), shown(isatty(STDERR_FILENO) == 1) {}
    UProgressLine_C(const UProgressLine_C&) = delete;
    UProgressLine_C& operator=(const UProgressLine_C&) = delete;
    ~UProgressLine_C() {
        if (shown) {
            std::fputs("\r\033[K", stderr);
        }
    }

    // A listener of the loading, `done` of `total` pictures, that never stops the work.
    bool operator()(std::size_t done, std::size_t total) {
        Show("\rLoading pictures: %zu of %zu\033[K", done, total);
        return true;
    }
    // A listener of the placing (`total` pictures) and the writing (sheet `done` of `total`).
    void operator()(NS_Data::UComposeJob_C::UStage_E stage, std::size_t done, std::size_t total) {
        if (stage == NS_Data::UComposeJob_C::UStage_E::Placing) {
            Show(packs ? "\rPacking %zu pictures\033[K" : "\rPlacing %zu pictures\033[K", total);
        } else {
            Show("\rWriting sheet %zu of %zu\033[K", done + 1, total);
        }
    }

private:
    void Show(const char* format, auto... counts) {
        if (shown) {
            std::fprintf(stderr, format, counts...);
            std::fflush(stderr);
        }
    }

    bool packs;
    bool shown;
};

// "a", "a and b", "a, b and c".
std::string ListNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : (i + 1 == names.size() ? " and " : ", ")) + names[i];
    }
    return text;
}

}  // namespace

void PrintError(const NS_Base::UError_C& error, const std::string& prefix) {
    std::string text = error.ComposeText();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "%s%s: %s\n", prefix.c_str(), error.GetCaption(), text.c_str());
}

namespace {

// Composes `batch`, showing the progress and the warnings; returns the files written.
std::vector<std::string> Compose(const NS_Data::UComposeJob_C& job,
                                 const NS_Data::UComposeOptions_S& options,
                                 const std::vector<UBatchEntry_S>& batch) {
    UProgressLine_C progress(options);
    std::vector<std::string> written;
    job.Run(
        batch, std::ref(progress),
        [](const std::string& warning) {
            std::fprintf(stderr, "tavrin: warning: %s\n", warning.c_str());
        },
        std::ref(progress), &written);
    std::erase(written, std::string("-"));
    return written;
}

}  // namespace

int RunCompose(const CommandLine_S& commandLine) {
    // The sheet and the data file as they are before the run, so that no spelling of either is
    // taken as a picture.
    const NS_Data::UComposeJob_C job(commandLine.compose);
    if (const std::string conflict = job.FindConflict(commandLine.paths); !conflict.empty()) {
        std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
        return 2;
    }
    std::vector<UBatchEntry_S> batch;
    try {
        std::string namesWarning;
        batch = CollectBatch(commandLine.paths, commandLine.order == CommandLine_S::NaturalOrder,
                             &namesWarning);
        if (const std::string conflict = job.LeaveOutTargets(batch); !conflict.empty()) {
            std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
            return 2;
        }
        if (!namesWarning.empty()) {
            std::fprintf(stderr, "tavrin: warning: %s\n", namesWarning.c_str());
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error);
        return 1;
    }
    return ComposeBatch(job, commandLine.compose, batch);
}

int ComposeBatch(const NS_Data::UComposeJob_C& job, const NS_Data::UComposeOptions_S& options,
                 const std::vector<UBatchEntry_S>& batch, const std::string& prefix) {
    try {
        if (batch.empty()) {
            std::fprintf(stderr, "%sno bmp, png, jpg or gif file found\n",
                         prefix.empty() ? "tavrin: " : prefix.c_str());
            return 1;
        }
        const std::vector<std::string> files = Compose(job, options, batch);
        if (options.output != "-" && isatty(STDOUT_FILENO) == 1) {
            std::printf("Wrote %s from %zu pictures.\n", ListNames(files).c_str(), batch.size());
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error, prefix);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%sSystemError: Not enough memory.\n", prefix.c_str());
        return 1;
    }
    return 0;
}
