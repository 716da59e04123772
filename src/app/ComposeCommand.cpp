#include "app/ComposeCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "composition/SheetData.h"
#include "files/PathUtilities.h"
#include "files/UFileIdentity_C.h"
#include "files/UPendingFile_C.h"
#include "foundation/RunInParallel.h"
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

// Without a limit of the user's own, a sheet that most GPUs cannot load is still written.
void WarnAboutTextureSize(const NS_Data::USheetLayout_S& layout, int64_t maxSize) {
    const int64_t limit = NS_Data::PictureGroup_C::CommonTextureSide;
    if (maxSize == 0 && (layout.GetWidth() > limit || layout.GetHeight() > limit)) {
        std::fprintf(stderr,
                     "tavrin: warning: the sheet is %lld x %lld pixels; most GPUs cannot load a "
                     "texture with a side above %lld (--max-size makes this an error)\n",
                     static_cast<long long>(layout.GetWidth()),
                     static_cast<long long>(layout.GetHeight()), static_cast<long long>(limit));
    }
}

// Loads the batch into the group; returns each picture's name (NAME#N for the frames of an
// animated gif) and delay for the data file.
std::vector<USheetDataFrame_S> LoadBatch(const std::vector<UBatchEntry_S>& batch,
                                         const std::vector<std::string>& paths, bool allGifFrames,
                                         NS_Data::PictureGroup_C& group) {
    std::vector<std::vector<int32_t>> delays;
    {
        UProgressLine_C progress;
        LoadPictures(group, paths, std::ref(progress), allGifFrames ? &delays : nullptr);
    }
    std::vector<USheetDataFrame_S> frames;
    frames.reserve(batch.size());
    for (std::size_t entry = 0; entry < batch.size(); ++entry) {
        const std::string& name = batch[entry].name;
        if (!allGifFrames || delays[entry].front() < 0) {
            frames.push_back({name, {}, -1});
            continue;
        }
        for (std::size_t i = 0; i < delays[entry].size(); ++i) {
            frames.push_back({name + "#" + std::to_string(i), {}, delays[entry][i]});
        }
    }
    return frames;
}

UPngEncoder_C::Level GetLevel(CommandLine_S::Compression_E compression) {
    switch (compression) {
        case CommandLine_S::FastCompression:
            return UPngEncoder_C::Level::Fast;
        case CommandLine_S::BestCompression:
            return UPngEncoder_C::Level::Best;
        default:
            return UPngEncoder_C::Level::Default;
    }
}

// The sheet's path as the data file names it: relative to the data file's folder, or, for a
// sheet on standard output, the data file's own name with the extension .png.
std::string GetImagePath(const CommandLine_S& commandLine) {
    if (commandLine.output != "-") {
        return GetRelativePath(commandLine.output, commandLine.dataPath);
    }
    const std::string name = GetFileName(commandLine.dataPath.c_str());
    return name.substr(0, name.rfind('.')) + ".png";
}

// The data file, written beside its target; it replaces the target once the sheet is written.
std::unique_ptr<UPendingFile_C> PrepareData(const CommandLine_S& commandLine,
                                            NS_Data::PictureGroup_C& group,
                                            const NS_Data::USheetLayout_S& layout,
                                            std::vector<USheetDataFrame_S> frames) {
    if (commandLine.dataPath.empty()) {
        return nullptr;
    }
    const std::vector<NS_Data::UFrame_S> places = group.PlaceFrames(layout);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i].place = places[i];
    }
    const std::string text =
        FormatSheetData(frames, GetImagePath(commandLine), layout.GetWidth(), layout.GetHeight(),
                        commandLine.dataFormat == CommandLine_S::JsonArray);
    return std::make_unique<UPendingFile_C>(commandLine.dataPath, text);
}

void ComposeBatch(const std::vector<UBatchEntry_S>& batch, const CommandLine_S& commandLine) {
    NS_Data::PictureGroup_C group;
    // Every header first, so that a batch too large to compose is refused at once.
    std::vector<std::string> paths;
    paths.reserve(batch.size());
    for (const UBatchEntry_S& entry : batch) {
        paths.push_back(entry.path);
    }
    group.CheckBatchFiles(paths, commandLine.composeMode, commandLine.sheet);
    std::vector<USheetDataFrame_S> frames =
        LoadBatch(batch, paths, commandLine.gifFrames == CommandLine_S::AllFrames, group);
    const NS_Data::USheetLayout_S layout =
        group.PlanSheet(commandLine.composeMode, commandLine.autoCut, commandLine.sheet);
    NS_Data::PictureGroup_C::CheckSheet(layout, commandLine.maxSize);
    WarnAboutTextureSize(layout, commandLine.maxSize);
    const auto data = PrepareData(commandLine, group, layout, std::move(frames));
    group.ComposeSheet(commandLine.output.c_str(), 0, layout, GetLevel(commandLine.compression));
    if (data) {
        data->Commit();
    }
}

}  // namespace

int RunCompose(const CommandLine_S& commandLine) {
    // The sheet as it is before the run, so that no spelling of it is taken as a picture.
    const UFileIdentity_C sheet(commandLine.output);
    const std::vector<std::string>& paths = commandLine.paths;
    std::vector<char> named(paths.size());
    RunInParallel(paths.size(), [&](std::size_t i) { named[i] = sheet.Is(paths[i].c_str()); });
    if (const auto first = std::ranges::find(named, 1); first != named.end()) {
        std::fprintf(stderr, "tavrin: %s is the sheet to write, not a picture to read\n",
                     paths[static_cast<std::size_t>(first - named.begin())].c_str());
        return 2;
    }
    try {
        std::vector<UBatchEntry_S> batch =
            CollectBatch(paths, commandLine.order == CommandLine_S::NaturalOrder);
        // Only files found inside folders are left to check.
        const std::unordered_set<std::string> checked(paths.begin(), paths.end());
        std::erase_if(batch, [&](const UBatchEntry_S& entry) {
            return !checked.contains(entry.path) && sheet.Is(entry.path.c_str());
        });
        if (batch.empty()) {
            std::fputs("tavrin: no bmp, png, jpg or gif file found\n", stderr);
            return 1;
        }
        ComposeBatch(batch, commandLine);
        if (commandLine.output != "-" && isatty(STDOUT_FILENO) == 1) {
            std::printf("Wrote %s from %zu pictures.\n", commandLine.output.c_str(), batch.size());
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
