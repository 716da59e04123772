#include "app/ComposeCommand.h"

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/UComposeJob_C.h"
#include "composition/UDepfile_C.h"
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

// The error record as its notice would show it, with plain line breaks.
void PrintError(const NS_Base::UError_C& error) {
    std::string text = error.ComposeText();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "%s: %s\n", error.GetCaption(), text.c_str());
}

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

// What a depfile names as read: the batch's pictures and the folders walked, each once.
std::vector<std::string> ReadFiles(const std::vector<UBatchEntry_S>& batch,
                                   std::vector<std::string> folders) {
    std::vector<std::string> read;
    std::unordered_set<std::string> seen;
    for (const UBatchEntry_S& entry : batch) {
        if (seen.insert(entry.path).second) {
            read.push_back(entry.path);
        }
    }
    for (std::string& folder : folders) {
        if (seen.insert(folder).second) {
            read.push_back(std::move(folder));
        }
    }
    return read;
}

// Writes the set unless the files there are up to date (and --force is not given), then the
// depfile, whose paths are checked first, so that a path it cannot name stops the run before
// anything is written.
void WriteUnlessUpToDate(const NS_Data::UComposeJob_C& job, const CommandLine_S& commandLine,
                         const std::vector<UBatchEntry_S>& batch,
                         std::vector<std::string> folders) {
    const std::vector<std::string> read = ReadFiles(batch, std::move(folders));
    if (!commandLine.depfile.empty()) {
        NS_Data::UDepfile_C::CheckPaths(read);
    }
    std::vector<std::string> files;
    const bool upToDate = !commandLine.force && job.IsUpToDate(batch, &files);
    if (!upToDate) {
        files = Compose(job, commandLine.compose, batch);
    }
    if (!commandLine.depfile.empty()) {
        NS_Data::UDepfile_C::Write(commandLine.depfile, NS_Data::UDepfile_C::MakeRule(files, read));
    }
    if (commandLine.compose.output != "-" && isatty(STDOUT_FILENO) == 1) {
        std::printf(upToDate ? "Left %s alone: up to date with its %zu pictures.\n"
                             : "Wrote %s from %zu pictures.\n",
                    ListNames(files).c_str(), batch.size());
    }
}

}  // namespace

int RunCompose(const CommandLine_S& commandLine) {
    // The sheet and the data file as they are before the run, so that no spelling of either is
    // taken as a picture.
    NS_Data::UComposeJob_C job(commandLine.compose);
    if (const std::string conflict = job.FindConflict(commandLine.paths); !conflict.empty()) {
        std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
        return 2;
    }
    try {
        std::string namesWarning;
        std::vector<std::string> folders;
        std::vector<UBatchEntry_S> batch =
            CollectBatch(commandLine.paths, commandLine.order == CommandLine_S::NaturalOrder,
                         &namesWarning, &folders);
        job.SetFolders(folders);
        if (const std::string conflict = job.LeaveOutTargets(batch); !conflict.empty()) {
            std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
            return 2;
        }
        if (!namesWarning.empty()) {
            std::fprintf(stderr, "tavrin: warning: %s\n", namesWarning.c_str());
        }
        if (batch.empty()) {
            std::fputs("tavrin: no bmp, png, jpg or gif file found\n", stderr);
            return 1;
        }
        WriteUnlessUpToDate(job, commandLine, batch, std::move(folders));
    } catch (const NS_Base::UError_C& error) {
        PrintError(error);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("SystemError: Not enough memory.\n", stderr);
        return 1;
    }
    return 0;
}
