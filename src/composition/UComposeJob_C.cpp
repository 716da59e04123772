#include "composition/UComposeJob_C.h"

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

#include "composition/LoadPictures.h"
#include "composition/PictureGroup_C.h"
#include "composition/USheetLimits_C.h"
#include "composition/USheetPlan_C.h"
#include "composition/USheetRows_C.h"
#include "composition/data/SheetData.h"
#include "files/ContentHash.h"
#include "files/PathUtilities.h"
#include "files/UAtomicFile_C.h"
#include "files/UFileIdentity_C.h"
#include "files/UFileSet_C.h"
#include "files/UPendingFile_C.h"
#include "foundation/RunInParallel.h"
#include "foundation/ShownText.h"
#include "imaging/Resample.h"
#include "imaging/SheetFile.h"
#include "imaging/UImageData_C.h"
#include "imaging/UWebpEncoder_C.h"

namespace NS_Data {
namespace {

// Without a limit of the user's own, a sheet that most GPUs cannot load is still written.
void WarnAboutTextureSize(int64_t width, int64_t height, int64_t maxSize,
                          const UComposeJob_C::UWarn_F& warn) {
    const int64_t limit = USheetLimits_C::CommonTextureSide;
    if (warn && maxSize == 0 && (width > limit || height > limit)) {
        warn(NS_Base::FillIn(
            NS_Base::ShownText("UComposeJob_C",
                               "the sheet is %1 x %2 pixels; most GPUs cannot load a texture "
                               "with a side above %3 (--max-size makes this an error)"),
            {std::to_string(width), std::to_string(height), std::to_string(limit)}));
    }
}

// --indexed is lossless, so a sheet of more colours than a palette holds stays RGBA.
void WarnAboutColours(bool fits, const std::string& path, const UComposeJob_C::UWarn_F& warn) {
    if (!fits && warn) {
        warn(NS_Base::FillIn(
            NS_Base::ShownText("UComposeJob_C",
                               "%1 has more than 256 colours, so --indexed writes it as RGBA"),
            {path}));
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
    if (SheetFile::FormatOf(options.output.c_str()) == USheetFormat_E::Webp) {
        const int64_t limit = UWebpEncoder_C::MaxSide;
        options.sheet.maxSize =
            options.sheet.maxSize > 0 ? std::min(options.sheet.maxSize, limit) : limit;
    }
    return options;
}

// The version the build record names; test builds can name another, as a new release would.
std::string RecordedVersion() {
#ifdef TAVRIN_TEST_HOOKS
    if (const char* version = std::getenv("TAVRIN_TEST_VERSION")) {
        return version;
    }
#endif
    return SheetFile::Software();
}

// The pictures at `scale`, trimmed anew, as their edges move; none at scale 1, where the
// pictures themselves serve.
std::vector<Picture_S> ScalePictures(const std::vector<const Picture_S*>& pictures, double scale) {
    std::vector<Picture_S> scaled(scale == 1.0 ? 0 : pictures.size());
    RunInParallel(scaled.size(), [&](std::size_t i) {
        scaled[i].pixels = Resample::Scale(pictures[i]->pixels, scale);
        scaled[i].contentRect = scaled[i].pixels.GetContentRect();
    });
    return scaled;
}

}  // namespace

// The files of one compose, each complete and prepared before any of them is put in place, then
// committed as one step (UFileSet_C): the sheets first, then their data files.
class UPendingWrites_C {
public:
    UAtomicFile_C& AddSheet(const std::string& path) {
        targets.push_back(path);
        return files.Add();
    }
    void AddData(const std::string& path, const std::string& text) {
        targets.push_back(path);
        UPendingFile_C::Write(files.Add(), path, text);
    }
    // Files of an earlier set that this set replaces, removed in the same step.
    void AddRemoval(std::string path) { removals.push_back(std::move(path)); }
    void Commit() { files.Commit(removals); }
    // Every file's path as given, in the order they go in place.
    std::vector<std::string> GetTargets() const { return targets; }

private:
    UFileSet_C files;
    std::vector<std::string> targets;
    std::vector<std::string> removals;
};

UComposeJob_C::UComposeJob_C(UComposeOptions_S composeOptions)
    : options(WithinFormat(std::move(composeOptions))), variants(MakeVariants(options)) {}

std::vector<UComposeJob_C::UVariantFiles_S> UComposeJob_C::MakeVariants(
    const UComposeOptions_S& given) {
    std::vector<UVariantFiles_S> made;
    for (const UVariant_S& variant :
         given.variants.empty() ? std::vector<UVariant_S>(1) : given.variants) {
        UComposeOptions_S own = given;
        own.output = USheetTargets_C::AddSuffix(given.output, variant.suffix);
        own.data.path = USheetTargets_C::AddSuffix(given.data.path, variant.suffix);
        USheetTargets_C targets(own);
        made.push_back({variant, std::move(own), std::move(targets)});
    }
    return made;
}

bool UComposeJob_C::IsTarget(const std::string& path) const {
    struct stat status {};
    return IsTarget(path, UFileIdentity_C::Find(path.c_str(), status));
}

bool UComposeJob_C::IsTarget(const std::string& path, const struct stat* found) const {
    return std::ranges::any_of(variants, [&](const UVariantFiles_S& files) {
        return files.targets.IsTarget(path, found);
    });
}

bool UComposeJob_C::IsDataFile(const std::string& path) const {
    return std::ranges::any_of(
        variants, [&](const UVariantFiles_S& files) { return files.targets.IsDataFile(path); });
}

std::string UComposeJob_C::FindOverlap() const {
    for (const UVariantFiles_S& files : variants) {
        if (std::string overlap = files.targets.FindOverlap(); !overlap.empty()) {
            return overlap;
        }
        // The first numbered name stands for its pattern: patterns that share one name share all.
        const std::string own[] = {files.options.output, files.options.data.path,
                                   files.targets.GetSheetPath(0), files.targets.GetDataPath(0)};
        for (const UVariantFiles_S& other : variants) {
            for (std::size_t i = 0; &other != &files && i < std::size(own); ++i) {
                if (!files.options.data.path.empty() || i % 2 == 0) {
                    if (other.targets.IsTarget(own[i])) {
                        return NS_Base::FillIn(
                            NS_Base::ShownText(
                                "UComposeJob_C",
                                "the variants \"%1\" and \"%2\" would both write %3"),
                            {files.variant.suffix, other.variant.suffix, own[i]});
                    }
                }
            }
        }
    }
    return {};
}

std::string UComposeJob_C::FindConflict(const std::vector<std::string>& arguments) const {
    const std::string& dataPath = options.data.path;
    if (options.packing.multipack && (options.output == "-" || dataPath == "-")) {
        return NS_Base::ShownText("UComposeJob_C",
                                  "--multipack writes several files, not standard output");
    }
    if (variants.size() > 1 && (options.output == "-" || dataPath == "-")) {
        return NS_Base::ShownText("UComposeJob_C",
                                  "--variant writes several files, not standard output");
    }
    if (options.encoding.indexed &&
        SheetFile::FormatOf(options.output.c_str()) == USheetFormat_E::Webp) {
        return NS_Base::ShownText(
            "UComposeJob_C",
            "--indexed writes a palette PNG; a lossless WebP sheet takes a palette by itself");
    }
    if (std::string overlap = FindOverlap(); !overlap.empty()) {
        return overlap;
    }
    std::vector<char> named(arguments.size());
    RunInParallel(arguments.size(), [&](std::size_t i) { named[i] = IsTarget(arguments[i]); });
    if (const auto first = std::ranges::find(named, 1); first != named.end()) {
        const std::string& path = arguments[static_cast<std::size_t>(first - named.begin())];
        return NS_Base::FillIn(
            IsDataFile(path)
                ? NS_Base::ShownText("UComposeJob_C",
                                     "%1 is the data file to write, not a picture to read")
                : NS_Base::ShownText("UComposeJob_C",
                                     "%1 is the sheet to write, not a picture to read"),
            {path});
    }
    return {};
}

std::string UComposeJob_C::LeaveOutTargets(std::vector<UBatchEntry_S>& batch,
                                           UReplacing_E replacing) const {
    return LeaveOutTargets({this}, batch, replacing);
}

std::string UComposeJob_C::LeaveOutTargets(const std::vector<const UComposeJob_C*>& writers,
                                           std::vector<UBatchEntry_S>& batch,
                                           UReplacing_E replacing) {
    // Which writer's files each picture is, picture by picture; writer by writer below, so that
    // the conflict told is the one the first writer meets.
    const std::size_t count = writers.size();
    std::vector<char> isTarget(batch.size() * count);
    RunInParallel(batch.size(), [&](std::size_t i) {
        struct stat status {};
        const struct stat* found = UFileIdentity_C::Find(batch[i].path.c_str(), status);
        for (std::size_t writer = 0; writer < count; ++writer) {
            isTarget[i * count + writer] = writers[writer]->IsTarget(batch[i].path, found);
        }
    });
    std::vector<char> leaveOut(batch.size());
    for (std::size_t writer = 0; writer < count; ++writer) {
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (leaveOut[i] || !isTarget[i * count + writer]) {
                continue;
            }
            if (std::string conflict = writers[writer]->CheckLeftOut(batch[i].path, replacing);
                !conflict.empty()) {
                return conflict;
            }
            leaveOut[i] = 1;
        }
    }
    std::size_t index = 0;
    std::erase_if(batch, [&](const UBatchEntry_S&) { return leaveOut[index++] != 0; });
    return {};
}

std::string UComposeJob_C::CheckLeftOut(const std::string& path, UReplacing_E replacing) const {
    if (IsDataFile(path)) {
        return NS_Base::FillIn(
            NS_Base::ShownText("UComposeJob_C",
                               "%1 is the data file to write, not a picture to read"),
            {path});
    }
    // An earlier run's sheet in a searched folder is output, never a picture; any other file at
    // a name this run writes is someone's picture, which no sheet may replace.
    const auto earlier = [&](const UVariantFiles_S& files) {
        return files.targets.IsTarget(path) && files.targets.IsEarlierSheet(path);
    };
    if (replacing == EarlierSheets && !std::ranges::any_of(variants, earlier)) {
        return NS_Base::FillIn(NS_Base::ShownText("UComposeJob_C",
                                                  "%1 is a picture, and this run would write a "
                                                  "sheet over it; choose another -o, or move the "
                                                  "picture"),
                               {path});
    }
    return {};
}

UBuildRecord_C UComposeJob_C::MakeRecord(const std::vector<UBatchEntry_S>& batch) const {
    std::vector<std::string> paths;
    std::vector<std::string> named;
    std::string names;
    paths.reserve(batch.size());
    // Most pictures share a few folders: each folder is resolved once.
    std::map<std::string, std::string> fromSheet;
    for (const UBatchEntry_S& entry : batch) {
        paths.push_back(entry.path);
        const std::string folder = GetFolderPath(entry.path);
        auto found = fromSheet.find(folder);
        if (found == fromSheet.end()) {
            std::string probe = FromSheet(folder + "-");
            probe.pop_back();
            found = fromSheet.emplace(folder, std::move(probe)).first;
        }
        named.push_back(found->second + GetFileName(entry.path.c_str()));
        names += entry.name + '\0';
    }
    std::vector<std::string> walked;
    for (const std::string& folder : folders) {
        walked.push_back(FromSheet(folder));
    }
    // The files are named from the sheet's folder, so that a set copied elsewhere whole is
    // still up to date there. The frames' names come from the arguments as well as the paths
    // ("a/b/c.png" is "b/c.png" from "a", "c.png" from "a/b"), and the data file holds them.
    UComposeOptions_S recorded = options;
    recorded.output.clear();
    recorded.data.path = FromSheet(options.data.path);
    const std::string canonical =
        CanonicalText(recorded) + "\nnames " + std::to_string(HashBytes(names));
    return UBuildRecord_C(RecordedVersion(), canonical, std::move(paths), std::move(named),
                          std::move(walked));
}

std::string UComposeJob_C::FromSheet(const std::string& path) const {
    return path.empty() ? path : GetRelativePath(path, options.output);
}

bool UComposeJob_C::IsUpToDate(const std::vector<UBatchEntry_S>& batch,
                               std::vector<std::string>* outputs) const {
    if (!KeepsRecord()) {
        return false;
    }
    const UBuildRecord_C record = MakeRecord(batch);
    std::vector<std::string> found;
    for (const UVariantFiles_S& files : variants) {
        const USheetTargets_C& targets = files.targets;
        std::size_t count = 0;
        if (!record.IsUpToDate(targets.GetSheetPath(0), count)) {
            return false;
        }
        for (std::size_t number = 0; number < count; ++number) {
            found.push_back(targets.GetSheetPath(number));
        }
        for (std::size_t number = 0; !options.data.path.empty() && number < count; ++number) {
            if (number == 0 || !targets.HasOneDataFile()) {
                found.push_back(targets.GetDataPath(number));
            }
        }
    }
    if (outputs) {
        *outputs = std::move(found);
    }
    return true;
}

bool UComposeJob_C::Run(const std::vector<UBatchEntry_S>& batch, const UProgress_F& progress,
                        const UWarn_F& warn, const UStage_F& stage,
                        std::vector<std::string>* written) const {
    std::vector<std::string> paths;
    paths.reserve(batch.size());
    for (const UBatchEntry_S& entry : batch) {
        paths.push_back(entry.path);
    }
    PictureGroup_C group;
    // Every header first, so that a batch too large to compose is refused at once.
    const UMemoryClaim_C claim = USheetLimits_C::CheckBatchFiles(paths, options);
    UBuildRecord_C record = MakeRecord(batch);
    if (KeepsRecord()) {
        record.ReadInputs();
    }
    std::vector<std::vector<int32_t>> delays;
    if (!LoadPictures(group, paths, progress, options.allGifFrames ? &delays : nullptr, cache)) {
        return false;
    }
    const std::vector<const Picture_S*> pictures = group.GetPictures();
    SuggestPacking(pictures, warn);
    if (stage) {
        stage(UStage_E::Placing, 0, pictures.size());
    }
    const std::vector<USheetDataFrame_S> frames = NameFrames(batch, delays);
    UPendingWrites_C writes;
    for (const UVariantFiles_S& files : variants) {
        WriteVariant(files, pictures, frames, writes, warn, stage, record);
    }
    StopBeforeCommitting();
    writes.Commit();
    if (written) {
        *written = writes.GetTargets();
    }
    return true;
}

void UComposeJob_C::WriteVariant(const UVariantFiles_S& files,
                                 const std::vector<const Picture_S*>& pictures,
                                 std::vector<USheetDataFrame_S> frames, UPendingWrites_C& writes,
                                 const UWarn_F& warn, const UStage_F& stage,
                                 UBuildRecord_C record) const {
    // Only one variant's scaled pictures are held at a time.
    const std::vector<Picture_S> scaled = ScalePictures(pictures, files.variant.scale);
    std::vector<const Picture_S*> drawn = pictures;
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        drawn[i] = &scaled[i];
    }
    std::vector<std::string> names;
    names.reserve(frames.size());
    for (const USheetDataFrame_S& frame : frames) {
        names.push_back(frame.name);
    }
    const USheetPlan_C plan = MakePlan(drawn, names);
    const UDataFiles_T data = files.options.data.path.empty()
                                  ? UDataFiles_T()
                                  : MakeData(files, plan, std::move(frames), warn);
    for (std::size_t number = 1; number < plan.GetSheets().size(); ++number) {
        record.AddSheet(FromSheet(files.targets.GetSheetPath(number)));
    }
    for (const auto& [path, text] : data) {
        record.AddData(FromSheet(path), text);
    }
    WriteSheets(files, plan, drawn, writes, warn, stage, record);
    for (const auto& [path, text] : data) {
        writes.AddData(path, text);
    }
    RemoveStaleSheets(files.targets, plan.GetSheets().size(), writes, warn);
}

void UComposeJob_C::WriteSheets(const UVariantFiles_S& files, const USheetPlan_C& plan,
                                const std::vector<const Picture_S*>& pictures,
                                UPendingWrites_C& writes, const UWarn_F& warn,
                                const UStage_F& stage, const UBuildRecord_C& record) const {
    for (std::size_t number = 0; number < plan.GetSheets().size(); ++number) {
        if (stage) {
            stage(UStage_E::Writing, number, plan.GetSheets().size());
        }
        const USize_C size = plan.GetSheets()[number];
        WarnAboutTextureSize(size.GetWidth(), size.GetHeight(), files.options.sheet.maxSize, warn);
        const USheetRows_C rows(size, plan.GetFrames(int32_t(number), pictures),
                                files.options.background, files.options.sheet.extrude,
                                files.options.pixels, files.options.sheet.padding);
        const std::string path = files.targets.GetSheetPath(number);
        // The encoder asks for each row as it goes, and gets it drawn then: no sheet is held.
        const bool fits = UImageData_C::WriteSheet(
            writes.AddSheet(path), path.c_str(), uint32_t(size.GetWidth()),
            uint32_t(size.GetHeight()),
            [&rows](uint32_t y, uint32_t* scratch) {
                rows.Draw(static_cast<int32_t>(y), scratch);
                return scratch;
            },
            files.options.encoding.compression, files.options.encoding.indexed,
            !KeepsRecord() ? std::string()
                           : (number == 0 ? record.GetFirstText() : record.GetFurtherText()));
        WarnAboutColours(fits, path, warn);
    }
}

void UComposeJob_C::SuggestPacking(const std::vector<const Picture_S*>& pictures,
                                   const UWarn_F& warn) const {
    if (!warn || options.layout != ULayout_E::Column || options.trim != UTrim_E::None ||
        !options.data.path.empty() || pictures.empty()) {
        return;
    }
    const USize_C first = pictures.front()->pixels.GetSize();
    const auto differs = [&](const Picture_S* picture) {
        const USize_C size = picture->pixels.GetSize();
        return size.GetWidth() != first.GetWidth() || size.GetHeight() != first.GetHeight();
    };
    if (std::ranges::any_of(pictures, differs)) {
        warn(NS_Base::ShownText(
            "UComposeJob_C",
            "the pictures differ in size, so each takes a cell as large as the largest; "
            "--data FILE.json packs and trims them and records where each frame went"));
    }
}

void UComposeJob_C::RemoveStaleSheets(const USheetTargets_C& targets, std::size_t count,
                                      UPendingWrites_C& writes, const UWarn_F& warn) {
    std::vector<std::string> unproven;
    for (std::string& path : targets.FindStale(count, unproven)) {
        writes.AddRemoval(std::move(path));
    }
    if (!unproven.empty() && warn) {
        std::string names;
        for (const std::string& path : unproven) {
            names += (names.empty() ? "" : ", ") + path;
        }
        warn(NS_Base::FillIn(NS_Base::ShownText("UComposeJob_C",
                                                "left alone beyond the %1 sheets written, as no "
                                                "earlier run of Tavrin is known to have written "
                                                "them: %2"),
                             {std::to_string(count), names}));
    }
}

std::string UComposeJob_C::Format(const UComposeOptions_S& own,
                                  const std::vector<USheetDataPage_S>& pages, const UWarn_F& warn) {
    std::vector<std::string> warnings;
    std::string text = FormatSheetData(pages, own, warnings);
    for (const std::string& warning : warnings) {
        if (warn) {
            warn(warning);
        }
    }
    return text;
}

UComposeJob_C::UDataFiles_T UComposeJob_C::MakeData(const UVariantFiles_S& files,
                                                    const USheetPlan_C& plan,
                                                    std::vector<USheetDataFrame_S> frames,
                                                    const UWarn_F& warn) const {
    const USheetTargets_C& targets = files.targets;
    const std::size_t count = plan.GetSheets().size();
    std::vector<USheetDataPage_S> pages(count);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const USheetPlan_C::UPlacement_S& placement = plan.GetPlacements()[i];
        frames[i].place = placement.frame;
        frames[i].rotated = placement.rotated;
        pages[std::size_t(placement.sheet)].frames.push_back(std::move(frames[i]));
    }
    // A form that holds every sheet is one file; the others take a numbered file for each.
    const bool oneFile = targets.HasOneDataFile();
    const double smallestScale = std::ranges::min(variants, {}, [](const UVariantFiles_S& each) {
                                     return each.variant.scale;
                                 }).variant.scale;
    UDataFiles_T made;
    MarkSplitAnimations(pages);
    for (std::size_t number = 0; number < count; ++number) {
        const std::string dataPath = targets.GetDataPath(number);
        USheetDataMeta_S& meta = pages[number].meta;
        meta.image = USheetTargets_C::GetImagePath(targets.GetSheetPath(number), dataPath);
        meta.width = plan.GetSheets()[number].GetWidth();
        meta.height = plan.GetSheets()[number].GetHeight();
        meta.premultiplied = files.options.pixels.premultiply;
        // PixiJS takes it for the sheet's resolution: the smallest variant draws at 1, and each
        // larger one in proportion, so that a frame shows the same size from every variant.
        meta.scale = files.variant.scale / smallestScale;
        for (std::size_t other = 0; options.packing.multipack && !oneFile && other < count;
             ++other) {
            if (other != number) {
                meta.related.push_back(GetFileName(targets.GetDataPath(other).c_str()));
            }
        }
        if (!oneFile) {
            made.emplace_back(dataPath, Format(files.options, {pages[number]}, warn));
        }
    }
    if (oneFile) {
        made.emplace_back(files.options.data.path, Format(files.options, pages, warn));
    }
    return made;
}

}  // namespace NS_Data
