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

// One line on a terminal's standard error, rewritten in place while the pictures load and
// erased afterwards, so that a message printed next starts on a clean line.
class UProgressLine_C {
public:
    UProgressLine_C() : shown(isatty(STDERR_FILENO) == 1) {}
    UProgressLine_C(const UProgressLine_C&) = delete;
    UProgressLine_C& operator=(const UProgressLine_C&) = delete;
    ~UProgressLine_C() {
        if (shown) {
            std::fputs("\r\033[K", stderr);
        }
    }

    // A progress listener that never stops the work.
    bool operator()(std::size_t done, std::size_t total) {
        if (shown) {
            std::fprintf(stderr, "\rLoading pictures: %zu of %zu", done, total);
            std::fflush(stderr);
        }
        return true;
    }

private:
    bool shown;
};

// The error record as its notice would show it, with plain line breaks.
void PrintError(const NS_Base::UError_C& error) {
    std::string text = error.ComposeText();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "%s: %s\n", error.GetCaption(), text.c_str());
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
    try {
        std::vector<UBatchEntry_S> batch =
            CollectBatch(commandLine.paths, commandLine.order == CommandLine_S::NaturalOrder);
        if (const std::string conflict = job.LeaveOutTargets(batch); !conflict.empty()) {
            std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
            return 2;
        }
        if (batch.empty()) {
            std::fputs("tavrin: no bmp, png, jpg or gif file found\n", stderr);
            return 1;
        }
        {
            UProgressLine_C progress;
            job.Run(batch, std::ref(progress), [](const std::string& warning) {
                std::fprintf(stderr, "tavrin: warning: %s\n", warning.c_str());
            });
        }
        const std::string& output = commandLine.compose.output;
        if (output != "-" && isatty(STDOUT_FILENO) == 1) {
            std::printf("Wrote %s from %zu pictures.\n", output.c_str(), batch.size());
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("SystemError: Not enough memory.\n", stderr);
        return 1;
    }
    return 0;
}
