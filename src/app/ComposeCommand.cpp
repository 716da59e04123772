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
#include "foundation/ShownText.h"
#include "foundation/UError_C.h"

namespace {

using NS_Base::FillIn;
using NS_Base::ShownText;

// One line on a terminal's standard error, rewritten in place from the first picture loaded to
// the last file written, and erased afterwards, so that a message printed next starts on a
// clean line.
class UProgressLine_C {
public:
    UProgressLine_C(const NS_Data::UComposeOptions_S& options, bool wanted)
        : packs(options.layout == NS_Data::ULayout_E::Packed),
          shown(wanted && isatty(STDERR_FILENO) == 1) {}
    UProgressLine_C(const UProgressLine_C&) = delete;
    UProgressLine_C& operator=(const UProgressLine_C&) = delete;
    ~UProgressLine_C() {
        if (shown) {
            std::fputs("\r\033[K", stderr);
        }
    }

    // A listener of the loading, `done` of `total` pictures, that never stops the work.
    bool operator()(std::size_t done, std::size_t total) {
        if (shown) {
            Show(FillIn(ShownText("ComposeCommand", "Loading pictures: %1 of %2"),
                        {std::to_string(done), std::to_string(total)}));
        }
        return true;
    }
    // A listener of the placing (`total` pictures) and the writing (sheet `done` of `total`).
    void operator()(NS_Data::UComposeJob_C::UStage_E stage, std::size_t done, std::size_t total) {
        if (!shown) {
            return;
        }
        if (stage != NS_Data::UComposeJob_C::UStage_E::Placing) {
            Show(FillIn(ShownText("ComposeCommand", "Writing sheet %1 of %2"),
                        {std::to_string(done + 1), std::to_string(total)}));
        } else if (packs) {
            Show(FillIn(ShownText("ComposeCommand", "Packing %1 pictures"),
                        {std::to_string(total)}));
        } else {
            Show(FillIn(ShownText("ComposeCommand", "Placing %1 pictures"),
                        {std::to_string(total)}));
        }
    }

private:
    static void Show(const std::string& text) {
        std::fprintf(stderr, "\r%s\033[K", text.c_str());
        std::fflush(stderr);
    }

    bool packs;
    bool shown;
};

// "a", "a and b", "a, b and c".
std::string ListNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text = i == 0 ? names[i]
               : i + 1 == names.size()
                   ? FillIn(ShownText("ComposeCommand", "%1 and %2"), {text, names[i]})
                   : FillIn(ShownText("ComposeCommand", "%1, %2"), {text, names[i]});
    }
    return text;
}

// "tavrin: " and `text` on standard error.
void Complain(const std::string& text) {
    std::fprintf(stderr, "tavrin: %s\n", text.c_str());
}

}  // namespace

void PrintError(const NS_Base::UError_C& error, const std::string& prefix) {
    std::string text = error.ComposeText();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "%s%s: %s\n", prefix.c_str(), error.ComposeCaption().c_str(),
                 text.c_str());
}

namespace {

// Composes `batch`, showing the progress and the warnings; returns the files written.
std::vector<std::string> Compose(const NS_Data::UComposeJob_C& job,
                                 const NS_Data::UComposeOptions_S& options,
                                 const std::vector<UBatchEntry_S>& batch, bool showProgress) {
    UProgressLine_C progress(options, showProgress);
    std::vector<std::string> written;
    job.Run(
        batch, std::ref(progress),
        [](const std::string& warning) {
            Complain(FillIn(ShownText("ComposeCommand", "warning: %1"), {warning}));
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

}  // namespace

int RunCompose(const CommandLine_S& commandLine, UBuilt_S* watched) {
    // The sheet and the data file as they are before the run, so that no spelling of either is
    // taken as a picture.
    NS_Data::UComposeJob_C job(commandLine.compose);
    if (const std::string conflict = job.FindConflict(commandLine.paths); !conflict.empty()) {
        std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
        return 2;
    }
    std::vector<UBatchEntry_S> batch;
    std::vector<std::string> folders;
    try {
        std::string namesWarning;
        batch = CollectBatch(commandLine.paths, commandLine.order == CommandLine_S::NaturalOrder,
                             &namesWarning, &folders);
        job.SetFolders(folders);
        if (const std::string conflict = job.LeaveOutTargets(batch); !conflict.empty()) {
            std::fprintf(stderr, "tavrin: %s\n", conflict.c_str());
            return 2;
        }
        if (!namesWarning.empty()) {
            Complain(FillIn(ShownText("ComposeCommand", "warning: %1"), {namesWarning}));
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error, "");
        return 1;
    }
    UBuilt_S built;
    const int status = ComposeBatch(job, commandLine, batch, std::move(folders), {}, &built);
    if (watched) {
        *watched = built;
    }
    return status == 0 ? WriteDepfile(commandLine.depfile, built) : status;
}

int ComposeBatch(const NS_Data::UComposeJob_C& job, const CommandLine_S& line,
                 const std::vector<UBatchEntry_S>& batch, std::vector<std::string> folders,
                 const std::string& prefix, UBuilt_S* built, bool progress) {
    try {
        if (batch.empty()) {
            std::fprintf(stderr, "%s%s\n", prefix.empty() ? "tavrin: " : prefix.c_str(),
                         ShownText("ComposeCommand", "no bmp, png, jpg or gif file found").c_str());
            return 1;
        }
        // A path the depfile cannot name stops the run before anything is written.
        std::vector<std::string> read = ReadFiles(batch, std::move(folders));
        if (!line.depfile.empty()) {
            NS_Data::UDepfile_C::CheckPaths(read);
        }
        std::vector<std::string> files;
        const bool upToDate = !line.force && job.IsUpToDate(batch, &files);
        if (!upToDate) {
            files = Compose(job, line.compose, batch, progress);
        }
        if (line.compose.output != "-" && isatty(STDOUT_FILENO) == 1) {
            const std::string said = FillIn(
                upToDate
                    ? ShownText("ComposeCommand", "Left %1 alone: up to date with its %2 pictures.")
                    : ShownText("ComposeCommand", "Wrote %1 from %2 pictures."),
                {ListNames(files), std::to_string(batch.size())});
            std::puts(said.c_str());
        }
        if (built) {
            built->files.insert(built->files.end(), files.begin(), files.end());
            built->read.insert(built->read.end(), read.begin(), read.end());
        }
    } catch (const NS_Base::UError_C& error) {
        PrintError(error, prefix);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s%s: %s\n", prefix.c_str(),
                     ShownText("UError_C", "SystemError").c_str(),
                     ShownText("UError_C", "Not enough memory.").c_str());
        return 1;
    }
    return 0;
}

int WriteDepfile(const std::string& path, const UBuilt_S& built) {
    if (path.empty()) {
        return 0;
    }
    try {
        NS_Data::UDepfile_C::Write(path, NS_Data::UDepfile_C::MakeRule(built.files, built.read));
    } catch (const NS_Base::UError_C& error) {
        PrintError(error, "");
        return 1;
    }
    return 0;
}
