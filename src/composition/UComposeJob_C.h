#pragma once

#include <functional>
#include <string>
#include <vector>

#include "composition/CollectBatch.h"
#include "composition/SheetData.h"
#include "composition/UComposeOptions_S.h"
#include "composition/UProgress_F.h"
#include "composition/USheetPlan_C.h"
#include "files/UFileIdentity_C.h"

namespace NS_Data {

class UPendingWrites_C;

// One compose from start to end, the same for the command line and the window: every header
// of the batch first, then the pictures, the layout and its checks, and last the sheet and its
// data file, both written completely before either is put in place, so that a failure leaves
// both as they were. The sheet and the data file are known by their identity at the time the
// job is made, so that no spelling of them is taken for a picture.
class UComposeJob_C {
public:
    // Hears a warning that does not stop the job, as one line without a line break.
    using UWarn_F = std::function<void(const std::string& text)>;

    explicit UComposeJob_C(UComposeOptions_S options);

    // What makes the job impossible whatever the files hold: the data file naming the sheet, or
    // either of them named in `arguments` as a picture to read. Empty when nothing does.
    std::string FindConflict(const std::vector<std::string>& arguments) const;
    // Leaves the sheet out of `batch` wherever it was found; returns the conflict when the data
    // file is among the pictures, empty otherwise.
    std::string LeaveOutTargets(std::vector<UBatchEntry_S>& batch) const;
    // Composes `batch` in its order and writes the files. Returns false, having written nothing,
    // when `progress` (may be empty) asked to stop; every failure raises its error.
    bool Run(const std::vector<UBatchEntry_S>& batch, const UProgress_F& progress = {},
             const UWarn_F& warn = {}) const;

private:
    // The sheet, the data file, or with multipack any numbered one beside them.
    bool IsTarget(const std::string& path) const;
    // Sheet `number`'s path: the sheet's own, or numbered in a multipack.
    std::string GetSheetPath(std::size_t number) const;
    void WriteSheets(const USheetPlan_C& plan, const std::vector<const Picture_S*>& pictures,
                     UPendingWrites_C& writes, const UWarn_F& warn) const;
    // The data file of every sheet, or one for each: frames in the pictures' order.
    void WriteData(const USheetPlan_C& plan, std::vector<USheetDataFrame_S> frames,
                   UPendingWrites_C& writes) const;

    UComposeOptions_S options;
    UFileIdentity_C sheet;
    UFileIdentity_C data;
    // The folders the numbered files of a multipack go in.
    UFileIdentity_C sheetFolder;
    UFileIdentity_C dataFolder;
};

}  // namespace NS_Data
