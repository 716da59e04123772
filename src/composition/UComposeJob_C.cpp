#include "composition/UComposeJob_C.h"

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>

#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "composition/SheetData.h"
#include "files/PathUtilities.h"
#include "files/UAtomicFile_C.h"
#include "files/UPendingFile_C.h"
#include "foundation/RunInParallel.h"
#include "imaging/UImageData_C.h"

namespace NS_Data {
namespace {

// Without a limit of the user's own, a sheet that most GPUs cannot load is still written.
void WarnAboutTextureSize(const USheetLayout_S& layout, int64_t maxSize,
                          const UComposeJob_C::UWarn_F& warn) {
    const int64_t limit = PictureGroup_C::CommonTextureSide;
    if (warn && maxSize == 0 && (layout.GetWidth() > limit || layout.GetHeight() > limit)) {
        warn("the sheet is " + std::to_string(layout.GetWidth()) + " x " +
             std::to_string(layout.GetHeight()) +
             " pixels; most GPUs cannot load a texture with a side above " + std::to_string(limit) +
             " (--max-size makes this an error)");
    }
}

// Each picture's name in the data file: the entry's own, or NAME#N for the frames of an
// animated gif, with the frame's delay.
std::vector<USheetDataFrame_S> NameFrames(const std::vector<UBatchEntry_S>& batch,
                                          const std::vector<std::vector<int32_t>>& delays) {
    std::vector<USheetDataFrame_S> frames;
    frames.reserve(batch.size());
    for (std::size_t entry = 0; entry < batch.size(); ++entry) {
        const std::string& name = batch[entry].name;
        if (delays.empty() || delays[entry].front() < 0) {
            frames.push_back({name, {}, -1});
            continue;
        }
        for (std::size_t i = 0; i < delays[entry].size(); ++i) {
            frames.push_back({name + "#" + std::to_string(i), {}, delays[entry][i]});
        }
    }
    return frames;
}

// The sheet's path as the data file names it: relative to the data file's folder, or, for a
// sheet on standard output, the data file's own name with the extension .png.
std::string GetImagePath(const UComposeOptions_S& options) {
    if (options.output != "-") {
        return GetRelativePath(options.output, options.dataPath);
    }
    const std::string name = GetFileName(options.dataPath.c_str());
    return name.substr(0, name.rfind('.')) + ".png";
}

// Test builds can stop here, once every file is complete and none is in place yet, so that a
// test can end the process at the moment most files are pending.
void StopBeforeCommitting() {
#ifdef TAVRIN_TEST_HOOKS
    if (std::getenv("TAVRIN_TEST_STOP_WRITING")) {
        ::raise(SIGSTOP);
    }
#endif
}

}  // namespace

UComposeJob_C::UComposeJob_C(UComposeOptions_S composeOptions)
    : options(std::move(composeOptions)),
      sheet(options.output),
      data(options.dataPath.empty() ? std::string() : options.dataPath) {}

bool UComposeJob_C::IsTarget(const std::string& path) const {
    return sheet.Is(path.c_str()) || (!options.dataPath.empty() && data.Is(path.c_str()));
}

std::string UComposeJob_C::FindConflict(const std::vector<std::string>& arguments) const {
    const std::string& dataPath = options.dataPath;
    if (!dataPath.empty()) {
        const bool bothOut = dataPath == "-" && options.output == "-";
        if (bothOut || (dataPath != "-" && sheet.Is(dataPath.c_str())) ||
            (options.output != "-" && data.Is(options.output.c_str()))) {
            return "--data " + dataPath + " names the sheet to write";
        }
    }
    std::vector<char> named(arguments.size());
    RunInParallel(arguments.size(), [&](std::size_t i) { named[i] = IsTarget(arguments[i]); });
    if (const auto first = std::ranges::find(named, 1); first != named.end()) {
        const std::string& path = arguments[static_cast<std::size_t>(first - named.begin())];
        const bool isSheet = sheet.Is(path.c_str());
        return path + " is the " + (isSheet ? "sheet" : "data file") +
               " to write, not a picture to read";
    }
    return {};
}

std::string UComposeJob_C::LeaveOutTargets(std::vector<UBatchEntry_S>& batch) const {
    std::vector<char> isSheet(batch.size());
    std::vector<char> isData(batch.size());
    RunInParallel(batch.size(), [&](std::size_t i) {
        isSheet[i] = sheet.Is(batch[i].path.c_str());
        isData[i] = !options.dataPath.empty() && data.Is(batch[i].path.c_str());
    });
    if (const auto first = std::ranges::find(isData, 1); first != isData.end()) {
        return batch[static_cast<std::size_t>(first - isData.begin())].path +
               " is the data file to write, not a picture to read";
    }
    std::size_t index = 0;
    std::erase_if(batch, [&](const UBatchEntry_S&) { return isSheet[index++] != 0; });
    return {};
}

bool UComposeJob_C::Run(const std::vector<UBatchEntry_S>& batch, const UProgress_F& progress,
                        const UWarn_F& warn) const {
    std::vector<std::string> paths;
    paths.reserve(batch.size());
    for (const UBatchEntry_S& entry : batch) {
        paths.push_back(entry.path);
    }
    PictureGroup_C group;
    // Every header first, so that a batch too large to compose is refused at once.
    group.CheckBatchFiles(paths, options.composeMode, options.sheet);
    std::vector<std::vector<int32_t>> delays;
    if (!LoadPictures(group, paths, progress, options.allGifFrames ? &delays : nullptr)) {
        return false;
    }
    const USheetLayout_S layout =
        group.PlanSheet(options.composeMode, options.autoCut, options.sheet);
    PictureGroup_C::CheckSheet(layout, options.maxSize);
    WarnAboutTextureSize(layout, options.maxSize, warn);

    UAtomicFile_C sheetFile;
    group.WriteSheet(sheetFile, options.output.c_str(), options.background, layout,
                     options.compression);
    std::optional<UPendingFile_C> dataFile;
    if (!options.dataPath.empty()) {
        std::vector<USheetDataFrame_S> frames = NameFrames(batch, delays);
        const std::vector<UFrame_S> places = group.PlaceFrames(layout);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            frames[i].place = places[i];
        }
        dataFile.emplace(
            options.dataPath,
            FormatSheetData(frames, GetImagePath(options), layout.GetWidth(), layout.GetHeight(),
                            options.dataFormat == UComposeOptions_S::JsonArray));
        dataFile->Prepare();
    }
    StopBeforeCommitting();
    UImageData_C::CommitPng(sheetFile);
    if (dataFile) {
        dataFile->Commit();
    }
    return true;
}

}  // namespace NS_Data
