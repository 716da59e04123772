#include "app/ProjectCommand.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ComposeCommand.h"
#include "app/ProjectSheets.h"
#include "composition/CollectBatch.h"
#include "composition/UComposeJob_C.h"
#include "composition/UPictureCache_C.h"
#include "composition/USheetTargets_C.h"
#include "files/UFileIdentity_C.h"
#include "foundation/ShownText.h"

namespace {

// One sheet of the run: its command line, its job, and its pictures once collected.
struct URunSheet_S {
    UProjectSheetLine_S made;
    std::unique_ptr<NS_Data::UComposeJob_C> job;
    // Empty when collecting its pictures failed.
    std::optional<std::vector<UBatchEntry_S>> batch;
    // The folders walked to collect it.
    std::vector<std::string> folders;
};

int Refuse(const std::string& problem) {
    std::fprintf(stderr, "tavrin: %s\n", problem.c_str());
    return 2;
}

// Every project's sheets as command lines; the problem, naming its file, key and line, if any.
std::string ReadProjects(const CommandLine_S& commandLine, std::vector<UProjectSheetLine_S>& made) {
    for (const std::string& file : commandLine.projects) {
        if (std::string problem = ReadProjectSheets(file, commandLine.projectArguments, made);
            !problem.empty()) {
            return problem;
        }
    }
    return {};
}

// A file of the run as it is before it: what UFileIdentity_C::Find found there.
struct UFoundFile_S {
    struct stat status {};
    bool there = false;

    explicit UFoundFile_S(const std::string& path)
        : there(UFileIdentity_C::Find(path.c_str(), status) != nullptr) {}
    const struct stat* Get() const { return there ? &status : nullptr; }
};

// Two sheets that would write one file. Each sheet's files are looked up once, not once for
// every other sheet (1,600 look-ups for 20 sheets).
std::string FindSharedFile(const std::vector<URunSheet_S>& sheets) {
    std::vector<UFoundFile_S> found;
    for (const URunSheet_S& sheet : sheets) {
        found.emplace_back(sheet.made.line.compose.output);
        found.emplace_back(sheet.made.line.compose.data.path);
    }
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const NS_Data::USheetTargets_C targets(sheets[i].made.line.compose);
        for (std::size_t j = 0; j < sheets.size(); ++j) {
            const NS_Data::UComposeOptions_S& other = sheets[j].made.line.compose;
            const bool overlaps = targets.IsTarget(other.output, found[2 * j].Get()) ||
                                  (!other.data.path.empty() &&
                                   targets.IsTarget(other.data.path, found[2 * j + 1].Get()));
            if (i != j && overlaps) {
                return NS_Base::FillIn(
                    NS_Base::ShownText("ProjectCommand", "%1 and %2 would write the same file"),
                    {sheets[i].made.name, sheets[j].made.name});
            }
        }
    }
    return {};
}

// Two sheets that would write one file, or a sheet that would write over any sheet's input.
std::string FindOverlap(const std::vector<URunSheet_S>& sheets) {
    std::vector<std::string> inputs;
    for (const URunSheet_S& sheet : sheets) {
        inputs.insert(inputs.end(), sheet.made.line.paths.begin(), sheet.made.line.paths.end());
    }
    for (const URunSheet_S& sheet : sheets) {
        if (std::string conflict = sheet.job->FindConflict(inputs); !conflict.empty()) {
            return sheet.made.name + ": " + conflict;
        }
    }
    return FindSharedFile(sheets);
}

// Collects each sheet's pictures, leaving out every sheet's earlier output; a sheet whose
// pictures cannot be collected is reported and left without a batch. Returns a conflict with a
// picture that some sheet would write over.
std::string CollectBatches(std::vector<URunSheet_S>& sheets) {
    std::vector<const NS_Data::UComposeJob_C*> writers;
    writers.reserve(sheets.size());
    for (const URunSheet_S& sheet : sheets) {
        writers.push_back(sheet.job.get());
    }
    for (URunSheet_S& sheet : sheets) {
        const CommandLine_S& line = sheet.made.line;
        try {
            std::string warning;
            sheet.batch = CollectBatch(line.paths, line.order == CommandLine_S::NaturalOrder,
                                       &warning, &sheet.folders);
            sheet.job->SetFolders(sheet.folders);
            if (!warning.empty()) {
                const std::string shown =
                    NS_Base::FillIn(NS_Base::ShownText("ComposeCommand", "warning: %1"), {warning});
                std::fprintf(stderr, "tavrin: %s: %s\n", sheet.made.name.c_str(), shown.c_str());
            }
        } catch (const NS_Base::UError_C& error) {
            PrintError(error, "tavrin: " + sheet.made.name + ": ");
            continue;
        }
        if (std::string conflict = NS_Data::UComposeJob_C::LeaveOutTargets(writers, *sheet.batch);
            !conflict.empty()) {
            return sheet.made.name + ": " + conflict;
        }
    }
    return {};
}

// Two sheets at a time. A sheet decodes on every core, but its packing and parts of its writing
// use fewer, and a second sheet fills them: 20 sheets of Wesnoth art took 0.60 s built two at a
// time against 0.73 s one after another (bench/project-bench.py). Each sheet claims the memory
// its check found it needs, so the other waits rather than runs short.
constexpr std::size_t SheetsSideBySide = 2;

// Builds every sheet with a batch; returns 1 if any failed or had none, else 0. What each
// wrote and read is added to `built` in the sheets' order.
int BuildSheets(std::vector<URunSheet_S>& sheets, UBuilt_S& built) {
    std::vector<UBuilt_S> each(sheets.size());
    std::vector<int> statuses(sheets.size(), 1);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureGuard;
    const auto build = [&] {
        try {
            for (std::size_t i = next++; i < sheets.size(); i = next++) {
                URunSheet_S& sheet = sheets[i];
                if (sheet.batch) {
                    statuses[i] = ComposeBatch(*sheet.job, sheet.made.line, *sheet.batch,
                                               std::move(sheet.folders),
                                               "tavrin: " + sheet.made.name + ": ", &each[i],
                                               /*progress=*/false);
                }
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureGuard);
            failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> others;
        for (std::size_t i = 1; i < std::min(SheetsSideBySide, sheets.size()); ++i) {
            others.emplace_back(build);
        }
        build();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    for (UBuilt_S& sheet : each) {
        built.files.insert(built.files.end(), sheet.files.begin(), sheet.files.end());
        built.read.insert(built.read.end(), sheet.read.begin(), sheet.read.end());
    }
    return std::ranges::any_of(statuses, [](int status) { return status != 0; }) ? 1 : 0;
}

}  // namespace

int RunProjects(const CommandLine_S& commandLine, UBuilt_S* watched) {
    std::vector<UProjectSheetLine_S> made;
    if (std::string problem = ReadProjects(commandLine, made); !problem.empty()) {
        return Refuse(problem);
    }
    std::vector<URunSheet_S> sheets;
    NS_Data::UPictureCache_C cache;
    for (UProjectSheetLine_S& sheet : made) {
        auto job = std::make_unique<NS_Data::UComposeJob_C>(sheet.line.compose);
        job->SetPictureCache(&cache);
        sheets.push_back({std::move(sheet), std::move(job), std::nullopt, {}});
    }
    if (std::string problem = FindOverlap(sheets); !problem.empty()) {
        return Refuse(problem);
    }
    if (std::string problem = CollectBatches(sheets); !problem.empty()) {
        return Refuse(problem);
    }
    for (const URunSheet_S& sheet : sheets) {
        for (const UBatchEntry_S& entry : sheet.batch.value_or(std::vector<UBatchEntry_S>())) {
            cache.Expect(entry.path, sheet.made.line.compose.allGifFrames);
        }
    }
    UBuilt_S built;
    const int status = BuildSheets(sheets, built);
    if (watched) {
        *watched = built;
    }
    return status == 0 ? WriteDepfile(commandLine.depfile, built) : status;
}
