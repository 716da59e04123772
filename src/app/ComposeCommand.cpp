#include "app/ComposeCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/SheetData.h"
#include "composition/UComposeJob_C.h"
#include "files/PathUtilities.h"
#include "foundation/UError_C.h"

namespace {

// One line on a terminal's standard error, rewritten in place from the first picture loaded to
// the last file written, and erased afterwards, so that a message printed next starts on a
// clean line.
class UProgressLine_C {
public:
    // The stages of a compose, each counted in its own steps.
    enum class UStage_E { Loading, Placing, Writing };

    explicit UProgressLine_C(const NS_Data::UComposeOptions_S& options)
        : packs(options.layout == NS_Data::ULayout_E::Packed),
          sheets(options.packing.multipack ? "sheets" : "sheet"),
          shown(isatty(STDERR_FILENO) == 1) {}
    UProgressLine_C(const UProgressLine_C&) = delete;
    UProgressLine_C& operator=(const UProgressLine_C&) = delete;
    ~UProgressLine_C() {
        if (shown) {
            std::fputs("\r\033[K", stderr);
        }
    }

    // A progress listener that never stops the work. It hears only the loading, so its last
    // step goes on to the placing and writing that follow.
    bool operator()(std::size_t done, std::size_t total) {
        Show(UStage_E::Loading, done, total);
        if (total > 0 && done == total) {
            Show(UStage_E::Placing, 0, total);
        }
        return true;
    }

    // `done` of `total` steps of `stage`: pictures while loading, and sheets while writing.
    void Show(UStage_E stage, std::size_t done, std::size_t total) {
        if (!shown) {
            return;
        }
        switch (stage) {
            case UStage_E::Loading:
                std::fprintf(stderr, "\rLoading pictures: %zu of %zu\033[K", done, total);
                break;
            case UStage_E::Placing:
                std::fprintf(stderr, "\r%s %zu pictures and writing the %s\033[K",
                             packs ? "Packing" : "Placing", total, sheets);
                break;
            case UStage_E::Writing:
                std::fprintf(stderr, "\rWriting sheet %zu of %zu\033[K", done + 1, total);
                break;
        }
        std::fflush(stderr);
    }

private:
    bool packs;
    const char* sheets;
    bool shown;
};

// `path` with "-N" before the extension of its file name, as a multipack names its files.
std::string NumberedPath(const std::string& path, std::size_t number) {
    const std::size_t nameStart = path.size() - std::strlen(GetFileName(path.c_str()));
    const std::size_t dot = path.rfind('.');
    const std::size_t at = dot == std::string::npos || dot <= nameStart ? path.size() : dot;
    return path.substr(0, at) + "-" + std::to_string(number) + path.substr(at);
}

// The files a compose wrote. A single sheet and data file are known by name. Each numbered file
// of a multipack is put in place by a rename, so it is a file that was not there before the
// job: comparing device and inode leaves out the numbered files of an earlier, larger set.
class UWrittenFiles_C {
public:
    explicit UWrittenFiles_C(const NS_Data::UComposeOptions_S& compose) : options(compose) {
        for (const std::string& path : GetNumbered()) {
            before[path] = Identify(path);
        }
    }

    std::vector<std::string> Find() const {
        if (!options.packing.multipack) {
            std::vector<std::string> files;
            for (const std::string& path : {options.output, options.data.path}) {
                if (!path.empty() && path != "-") {
                    files.push_back(path);
                }
            }
            return files;
        }
        std::vector<std::string> files;
        for (const std::string& path : GetNumbered()) {
            const auto old = before.find(path);
            if (old == before.end() || old->second != Identify(path)) {
                files.push_back(path);
            }
        }
        if (!options.data.path.empty() && HoldsEveryPage(options.data.form)) {
            files.push_back(options.data.path);
        }
        return files;
    }

private:
    using UIdentity_T = std::pair<dev_t, ino_t>;

    static UIdentity_T Identify(const std::string& path) {
        struct stat status {};
        return stat(path.c_str(), &status) == 0 ? UIdentity_T(status.st_dev, status.st_ino)
                                                : UIdentity_T();
    }

    // The numbered sheets there are, from 0 on, and then their numbered data files.
    std::vector<std::string> GetNumbered() const {
        std::vector<std::string> sheets, data;
        const bool numberedData = !options.data.path.empty() && !HoldsEveryPage(options.data.form);
        for (std::size_t number = 0;; ++number) {
            const std::string sheet = NumberedPath(options.output, number);
            if (Identify(sheet) == UIdentity_T()) {
                break;
            }
            sheets.push_back(sheet);
            if (numberedData) {
                data.push_back(NumberedPath(options.data.path, number));
            }
        }
        sheets.insert(sheets.end(), data.begin(), data.end());
        return sheets;
    }

    const NS_Data::UComposeOptions_S& options;
    std::map<std::string, UIdentity_T> before;
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
    const UWrittenFiles_C written(options);
    UProgressLine_C progress(options);
    job.Run(batch, std::ref(progress), [](const std::string& warning) {
        std::fprintf(stderr, "tavrin: warning: %s\n", warning.c_str());
    });
    return written.Find();
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
        const std::vector<std::string> files = Compose(job, commandLine.compose, batch);
        if (commandLine.compose.output != "-" && isatty(STDOUT_FILENO) == 1) {
            std::printf("Wrote %s from %zu pictures.\n", ListNames(files).c_str(), batch.size());
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
