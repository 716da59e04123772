#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/UBuildRecord_C.h"
#include "composition/UComposeOptions_S.h"
#include "composition/UProgress_F.h"
#include "composition/USheetPlan_C.h"
#include "composition/USheetTargets_C.h"
#include "composition/data/SheetData.h"

namespace NS_Data {

class UPendingWrites_C;
class UPictureCache_C;

// One compose from start to end, the same for the command line and the window: every header
// of the batch first, then the pictures, the layout and its checks, and last the sheet and its
// data file, both written completely before either is put in place, so that a failure leaves
// both as they were. Each variant (another resolution) is laid out and written from the same
// decoded pictures, and all variants' files are put in place in that one step. The sheet and the
// data file are known by their identity at the time the job is made, so that no spelling of them is
// taken for a picture.
class UComposeJob_C {
public:
    // Hears a warning that does not stop the job, as one line without a line break.
    using UWarn_F = std::function<void(const std::string& text)>;

    // What the job does after the pictures are loaded: placing them (`total` pictures), then
    // writing sheet `done` of `total`.
    enum class UStage_E { Placing, Writing };
    using UStage_F = std::function<void(UStage_E stage, std::size_t done, std::size_t total)>;

    explicit UComposeJob_C(UComposeOptions_S options);

    // Loads the pictures through `cache`, which outlives every Run, so that pictures shared
    // with other jobs of the run are decoded once; null loads them directly.
    void SetPictureCache(UPictureCache_C* shared) { cache = shared; }

    // What makes the job impossible whatever the files hold: two of its own files that would be
    // one, or one of them named in `arguments` as a picture to read. Empty when nothing does.
    std::string FindConflict(const std::vector<std::string>& arguments) const;
    // Which files of the batch at a name the run writes are left out: only an earlier run's
    // sheets, or any file, where the user has already agreed to replace it.
    enum UReplacing_E { EarlierSheets, AnyFile };

    // Leaves the files at names this run writes out of `batch` wherever they were found, as
    // `replacing` allows; returns the conflict when a data file, or a file it does not allow,
    // lies there, empty otherwise.
    std::string LeaveOutTargets(std::vector<UBatchEntry_S>& batch,
                                UReplacing_E replacing = EarlierSheets) const;
    // The same for every job of a run, in their order, each picture looked up once for all: 20
    // sheets of 100 pictures take 2,000 look-ups, not 80,000. On a conflict `batch` is as it was.
    static std::string LeaveOutTargets(const std::vector<const UComposeJob_C*>& writers,
                                       std::vector<UBatchEntry_S>& batch,
                                       UReplacing_E replacing = EarlierSheets);
    // The folders walked to collect the batch, which the sheet's build record names.
    void SetFolders(std::vector<std::string> walked) { folders = std::move(walked); }
    // Whether the files an earlier build left are those Run would write from `batch`
    // (UBuildRecord_C::IsUpToDate); never for a set written to standard output.
    bool IsUpToDate(const std::vector<UBatchEntry_S>& batch,
                    std::vector<std::string>* outputs = nullptr) const;

    // Composes `batch` in its order and writes the files, telling each listener (any may be
    // empty) how far it has come; with `written`, the files put in place go there in the order
    // they were. Returns false, having written nothing, when `progress` asked to stop; every
    // failure raises its error.
    bool Run(const std::vector<UBatchEntry_S>& batch, const UProgress_F& progress = {},
             const UWarn_F& warn = {}, const UStage_F& stage = {},
             std::vector<std::string>* written = nullptr) const;

    // Where `pictures` go, as Run places every variant's; `names` (one per picture) name a
    // picture too large for any sheet. The variants differ in their files' names alone.
    USheetPlan_C MakePlan(const std::vector<const Picture_S*>& pictures,
                          const std::vector<std::string>& names) const {
        return USheetPlan_C::Make(pictures, options, &names);
    }

private:
    using UDataFiles_T = std::vector<std::pair<std::string, std::string>>;
    // One resolution's options (its own file names) and files.
    struct UVariantFiles_S {
        UVariant_S variant;
        UComposeOptions_S options;
        USheetTargets_C targets;
    };
    static std::vector<UVariantFiles_S> MakeVariants(const UComposeOptions_S& given);

    // Any file of any variant; `found` is what UFileIdentity_C::Find gave for `path`.
    bool IsTarget(const std::string& path) const;
    bool IsTarget(const std::string& path, const struct stat* found) const;
    // The conflict when the file at `path`, one of the job's, may not be left out as `replacing`
    // allows; empty when it may.
    std::string CheckLeftOut(const std::string& path, UReplacing_E replacing) const;
    bool IsDataFile(const std::string& path) const;
    // Two files of the run, of one variant or of two, that would be one file; empty for none.
    std::string FindOverlap() const;

    // The record of a build from `batch`, its pictures unread; every variant's first sheet
    // holds it, with the files of its own set.
    UBuildRecord_C MakeRecord(const std::vector<UBatchEntry_S>& batch) const;
    // `path` as the record names it: from the sheet's folder, which every variant shares.
    std::string FromSheet(const std::string& path) const;
    // A set on standard output is never skipped, so it needs no record.
    bool KeepsRecord() const { return options.output != "-" && options.data.path != "-"; }

    // Lays out and writes one variant from the pictures at scale 1.
    void WriteVariant(const UVariantFiles_S& files, const std::vector<const Picture_S*>& pictures,
                      std::vector<USheetDataFrame_S> frames, UPendingWrites_C& writes,
                      const UWarn_F& warn, const UStage_F& stage, UBuildRecord_C record) const;
    void WriteSheets(const UVariantFiles_S& files, const USheetPlan_C& plan,
                     const std::vector<const Picture_S*>& pictures, UPendingWrites_C& writes,
                     const UWarn_F& warn, const UStage_F& stage,
                     const UBuildRecord_C& record) const;
    // The data file of every sheet, or one for each: frames in the pictures' order; each
    // path with its text.
    UDataFiles_T MakeData(const UVariantFiles_S& files, const USheetPlan_C& plan,
                          std::vector<USheetDataFrame_S> frames, const UWarn_F& warn) const;
    // The data file's text for `pages`, its warnings told to `warn`.
    static std::string Format(const UComposeOptions_S& own,
                              const std::vector<USheetDataPage_S>& pages, const UWarn_F& warn);

    // Pictures of different sizes in the column's equal cells waste most of a sheet: one line
    // says how to pack them, unless the user trims or asks for the data file already.
    void SuggestPacking(const std::vector<const Picture_S*>& pictures, const UWarn_F& warn) const;
    // The numbered files an earlier, larger set left beyond `count` sheets go with this set;
    // those not proven an earlier run's are named in a warning and kept.
    static void RemoveStaleSheets(const USheetTargets_C& targets, std::size_t count,
                                  UPendingWrites_C& writes, const UWarn_F& warn);

    UComposeOptions_S options;
    std::vector<UVariantFiles_S> variants;
    UPictureCache_C* cache = nullptr;
    std::vector<std::string> folders;
};

}  // namespace NS_Data
