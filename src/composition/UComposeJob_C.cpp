#include "composition/UComposeJob_C.h"

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "composition/SheetData.h"
#include "composition/UPackedRows_C.h"
#include "composition/USheetPlan_C.h"
#include "files/PathUtilities.h"
#include "files/UAtomicFile_C.h"
#include "files/UFileSet_C.h"
#include "files/UPendingFile_C.h"
#include "foundation/RunInParallel.h"
#include "imaging/UImageData_C.h"
#include "imaging/UWebpEncoder_C.h"

namespace NS_Data {
namespace {

// Without a limit of the user's own, a sheet that most GPUs cannot load is still written.
void WarnAboutTextureSize(int64_t width, int64_t height, int64_t maxSize,
                          const UComposeJob_C::UWarn_F& warn) {
    const int64_t limit = PictureGroup_C::CommonTextureSide;
    if (warn && maxSize == 0 && (width > limit || height > limit)) {
        warn("the sheet is " + std::to_string(width) + " x " + std::to_string(height) +
             " pixels; most GPUs cannot load a texture with a side above " + std::to_string(limit) +
             " (--max-size makes this an error)");
    }
}

// --indexed is lossless, so a sheet of more colours than a palette holds stays RGBA.
void WarnAboutColours(bool fits, const std::string& path, const UComposeJob_C::UWarn_F& warn) {
    if (!fits && warn) {
        warn(path + " has more than 256 colours, so --indexed writes it as RGBA");
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
std::string GetImagePath(const std::string& sheet, const std::string& data) {
    if (sheet != "-") {
        return GetRelativePath(sheet, data);
    }
    const std::string name = GetFileName(data.c_str());
    return name.substr(0, name.rfind('.')) + ".png";
}

// `path` with "-N" before the extension of its file name: the name of sheet N of a multipack.
std::string NumberedPath(const std::string& path, std::size_t number) {
    const std::size_t nameStart = path.size() - std::strlen(GetFileName(path.c_str()));
    const std::size_t dot = path.rfind('.');
    const std::size_t at = dot == std::string::npos || dot <= nameStart ? path.size() : dot;
    return path.substr(0, at) + "-" + std::to_string(number) + path.substr(at);
}

// True when `name` is `pattern`'s file name with "-N" before its extension, N any number.
bool IsNumberedName(const std::string& name, const std::string& pattern) {
    const std::string marked = NumberedPath(GetFileName(pattern.c_str()), 0);
    const std::size_t number = marked.rfind("-0") + 1;
    const std::string before = marked.substr(0, number);
    const std::string after = marked.substr(number + 1);
    if (name.size() <= before.size() + after.size() || !name.starts_with(before) ||
        !name.ends_with(after)) {
        return false;
    }
    const std::string digits =
        name.substr(before.size(), name.size() - before.size() - after.size());
    return std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
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

// A WebP sheet's sides cannot pass its format's limit, whatever the user's own.
UComposeOptions_S WithinFormat(UComposeOptions_S options) {
    if (UWebpEncoder_C::Writes(options.output.c_str())) {
        const int64_t limit = UWebpEncoder_C::MaxSide;
        options.maxSize = options.maxSize > 0 ? std::min(options.maxSize, limit) : limit;
    }
    return options;
}

}  // namespace

// The files of one compose, each complete and prepared before any of them is put in place, then
// committed as one step (UFileSet_C): the sheets first, then their data files.
class UPendingWrites_C {
public:
    UAtomicFile_C& AddSheet() { return files.Add(); }
    void AddData(const std::string& path, const std::string& text) {
        UPendingFile_C::Write(files.Add(), path, text);
    }
    // `stale`: files of an earlier set to remove in the same step.
    void Commit(const std::vector<std::string>& stale = {}) { files.Commit(stale); }

private:
    UFileSet_C files;
};

UComposeJob_C::UComposeJob_C(UComposeOptions_S composeOptions)
    : options(WithinFormat(std::move(composeOptions))),
      sheet(options.output),
      data(options.dataPath),
      sheetFolder(GetFolderPath(options.output)),
      dataFolder(GetFolderPath(options.dataPath)) {}

bool UComposeJob_C::IsTarget(const std::string& path) const {
    if (sheet.Is(path.c_str()) || (!options.dataPath.empty() && data.Is(path.c_str()))) {
        return true;
    }
    // A multipack numbers each sheet and data file beside the name it was given.
    if (!options.multipack) {
        return false;
    }
    const std::string name = GetFileName(path.c_str());
    const std::string folder = GetFolderPath(path);
    const bool numberedSheet =
        IsNumberedName(name, options.output) && sheetFolder.Is(folder.c_str());
    return numberedSheet || (!options.dataPath.empty() && IsNumberedName(name, options.dataPath) &&
                             dataFolder.Is(folder.c_str()));
}

std::string UComposeJob_C::FindConflict(const std::vector<std::string>& arguments) const {
    const std::string& dataPath = options.dataPath;
    if (options.multipack && (options.output == "-" || dataPath == "-")) {
        return "--multipack writes several files, not standard output";
    }
    if (options.indexed && UWebpEncoder_C::Writes(options.output.c_str())) {
        return "--indexed writes a palette PNG; a lossless WebP sheet takes a palette by itself";
    }
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
        const bool isData = !dataPath.empty() && data.Is(path.c_str());
        return path + " is the " + (isData ? "data file" : "sheet") +
               " to write, not a picture to read";
    }
    return {};
}

std::string UComposeJob_C::LeaveOutTargets(std::vector<UBatchEntry_S>& batch) const {
    std::vector<char> isSheet(batch.size());
    std::vector<char> isData(batch.size());
    RunInParallel(batch.size(), [&](std::size_t i) {
        isData[i] = !options.dataPath.empty() && data.Is(batch[i].path.c_str());
        isSheet[i] = !isData[i] && IsTarget(batch[i].path);
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
    group.CheckBatchFiles(paths, options);
    std::vector<std::vector<int32_t>> delays;
    if (!LoadPictures(group, paths, progress, options.allGifFrames ? &delays : nullptr)) {
        return false;
    }
    std::vector<USheetDataFrame_S> frames = NameFrames(batch, delays);
    UPendingWrites_C writes;
    if (options.packed || options.trim) {
        WritePlanned(group, std::move(frames), writes, warn);
    } else {
        WriteGrid(group, std::move(frames), writes, warn);
    }
    StopBeforeCommitting();
    writes.Commit();
    return true;
}

void UComposeJob_C::WriteGrid(PictureGroup_C& group, std::vector<USheetDataFrame_S> frames,
                              UPendingWrites_C& writes, const UWarn_F& warn) const {
    const USheetLayout_S layout =
        group.PlanSheet(options.composeMode, options.autoCut, options.sheet);
    PictureGroup_C::CheckSheet(layout, options.maxSize);
    WarnAboutTextureSize(layout.GetWidth(), layout.GetHeight(), options.maxSize, warn);
    WarnAboutColours(group.WriteSheet(writes.AddSheet(), options.output.c_str(), options.background,
                                      layout, options.compression, options.indexed),
                     options.output, warn);
    if (options.dataPath.empty()) {
        return;
    }
    const std::vector<UFrame_S> places = group.PlaceFrames(layout);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i].place = places[i];
    }
    USheetDataMeta_S meta;
    meta.image = GetImagePath(options.output, options.dataPath);
    meta.width = layout.GetWidth();
    meta.height = layout.GetHeight();
    writes.AddData(options.dataPath, FormatSheetData({{meta, std::move(frames)}}, options));
}

void UComposeJob_C::WritePlanned(PictureGroup_C& group, std::vector<USheetDataFrame_S> frames,
                                 UPendingWrites_C& writes, const UWarn_F& warn) const {
    const std::vector<const Picture_S*> pictures = group.GetPictures();
    const USheetPlan_C plan = options.packed ? USheetPlan_C::Pack(pictures, options)
                                             : USheetPlan_C::TrimmedGrid(pictures, options);
    const std::size_t count = plan.GetSheets().size();
    const auto name = [&](const std::string& path, std::size_t number) {
        return options.multipack ? NumberedPath(path, number) : path;
    };
    for (std::size_t number = 0; number < count; ++number) {
        const USize_C size = plan.GetSheets()[number];
        WarnAboutTextureSize(size.GetWidth(), size.GetHeight(), options.maxSize, warn);
        const UPackedRows_C rows(size, plan.GetFrames(int32_t(number), pictures),
                                 options.background, options.sheet.extrude);
        const std::string path = name(options.output, number);
        WarnAboutColours(UImageData_C::WriteSheet(
                             writes.AddSheet(), path.c_str(), uint32_t(size.GetWidth()),
                             uint32_t(size.GetHeight()),
                             [&rows](uint32_t y, uint32_t* scratch) {
                                 rows.Draw(static_cast<int32_t>(y), scratch);
                                 return scratch;
                             },
                             options.compression, options.indexed),
                         path, warn);
    }
    if (options.dataPath.empty()) {
        return;
    }
    std::vector<USheetDataPage_S> pages(count);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const USheetPlan_C::UPlacement_S& placement = plan.GetPlacements()[i];
        frames[i].place = placement.frame;
        frames[i].rotated = placement.rotated;
        pages[std::size_t(placement.sheet)].frames.push_back(std::move(frames[i]));
    }
    // A form that holds every sheet is one file; the others take a numbered file for each.
    const bool oneFile = HoldsEveryPage(options.dataFormat);
    MarkSplitAnimations(pages);
    for (std::size_t number = 0; number < count; ++number) {
        const std::string dataPath = oneFile ? options.dataPath : name(options.dataPath, number);
        USheetDataMeta_S& meta = pages[number].meta;
        meta.image = GetImagePath(name(options.output, number), dataPath);
        meta.width = plan.GetSheets()[number].GetWidth();
        meta.height = plan.GetSheets()[number].GetHeight();
        for (std::size_t other = 0; options.multipack && !oneFile && other < count; ++other) {
            if (other != number) {
                pages[number].meta.related.push_back(
                    GetFileName(name(options.dataPath, other).c_str()));
            }
        }
        if (!oneFile) {
            writes.AddData(dataPath, FormatSheetData({pages[number]}, options));
        }
    }
    if (oneFile) {
        writes.AddData(options.dataPath, FormatSheetData(pages, options));
    }
}

}  // namespace NS_Data
