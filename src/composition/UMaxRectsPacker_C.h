#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UMaxRectsBin_C.h"
#include "composition/UPackResult_S.h"
#include "foundation/RunInParallel.h"
#include "foundation/USize_C.h"

namespace NS_Data {

// Places rectangles on as small a sheet as it can find: every MaxRects rule with every order
// (area, longer side, perimeter, height, width, all descending) over a searched sheet size, the
// smallest sheet kept and ties going to the squarer one; a free sheet is never larger than the
// square one. The result depends on the input alone, not on the threads or their timing. A set
// that no sheet of the largest side holds is reported through UPackResult_S::fits, never thrown.
class UMaxRectsPacker_C {
public:
    // Boxes spaced as `sheet` says, on sheets no larger than its maxSize (DefaultMaxSide when 0).
    UMaxRectsPacker_C(const USheetOptions_S& sheet, const UPackingOptions_S& packing,
                      unsigned threads = GetWorkerThreads());

    // Every size at least 1 x 1.
    UPackResult_S Pack(const std::vector<USize_C>& sizes) const;

    // The largest sheet side when the options leave it open: what most GPUs load.
    static constexpr int32_t DefaultMaxSide = 16384;

private:
    // Rectangles as boxes in the bin: each grown by its extrusion on both sides and by the
    // padding that follows it.
    struct UItems_S {
        std::vector<int32_t> source;  // index in the caller's list
        std::vector<int32_t> width;
        std::vector<int32_t> height;
        int64_t area = 0;
    };
    // One way through the items, with the smallest sides still to come after each.
    struct UOrder_S {
        std::vector<int32_t> item;
        std::vector<int32_t> smallWidth;
        std::vector<int32_t> smallHeight;
    };
    struct USpot_S {
        int32_t x = -1;
        int32_t y = -1;
        bool turned = false;
    };
    // The outcome of one filling of one bin.
    struct UAttempt_S {
        bool fits = false;
        int32_t binWidth = 0;
        int32_t usedWidth = 0;
        int32_t usedHeight = 0;
        int32_t sheetWidth = 0;  // the sheet the used area needs, squared only when recorded
        int32_t sheetHeight = 0;
        int32_t way = 0;
        int64_t placedArea = 0;
        std::vector<USpot_S> spots;  // per item; x < 0 when left out
    };
    // Widths (indexes into the searched widths) whose fills one pass ranks, and whether it ranks
    // them as square sheets.
    struct UPass_S {
        std::vector<std::size_t> widths;
        bool square = false;
    };
    struct UWay_S {
        UMaxRectsBin_C::URule_E rule;
        const UOrder_S* order;
        bool rotate;
    };

    UPackResult_S PackSheets(const std::vector<USize_C>& sizes) const;
    static int64_t TotalArea(const UPackResult_S& result);
    UItems_S MakeItems(const std::vector<USize_C>& sizes, const std::vector<int32_t>& chosen) const;
    std::vector<UOrder_S> MakeOrders(const UItems_S& items, bool rotate) const;
    static std::vector<UWay_S> MakeWays(const std::vector<UOrder_S>& orders, bool rotate);
    UAttempt_S Fill(const UItems_S& items, const UWay_S& way, int32_t binWidth, int32_t binHeight,
                    bool skipMisfits) const;
    void Finish(UAttempt_S& attempt) const;
    // Areas compare the sheets as made, or squared when `square`.
    static int64_t SheetArea(const UAttempt_S& attempt, bool square);
    static bool IsBetter(const UAttempt_S& a, const UAttempt_S& b, bool square);

    UAttempt_S Search(const UItems_S& items) const;
    UAttempt_S SearchPowersOfTwo(const UItems_S& items, const std::vector<UWay_S>& ways) const;
    UAttempt_S SearchFree(const UItems_S& items, const std::vector<UWay_S>& ways) const;
    std::vector<UAttempt_S> FillOpen(const UItems_S& items, const std::vector<UWay_S>& ways,
                                     const std::vector<int32_t>& widths) const;
    static std::size_t BestIndex(const std::vector<UAttempt_S>& attempts, std::size_t from);
    std::vector<UAttempt_S> FillChosen(const UItems_S& items, const std::vector<UWay_S>& ways,
                                       const std::vector<UAttempt_S>& open,
                                       const std::vector<UPass_S>& passes) const;
    UAttempt_S SearchShape(const UItems_S& items, const std::vector<UWay_S>& ways,
                           const std::vector<UAttempt_S>& attempts, const UPass_S& pass,
                           int64_t spare) const;
    static UAttempt_S TakeBest(std::vector<UAttempt_S>& attempts, bool square);
    UAttempt_S Tighten(const UItems_S& items, const UWay_S& way, const UAttempt_S& start,
                       int32_t steps, bool square) const;
    UAttempt_S FillMost(const UItems_S& items) const;
    UAttempt_S FillLargest(const UItems_S& items, const std::vector<UWay_S>& ways) const;
    std::vector<int32_t> CandidateWidths(const UItems_S& items, bool rotate,
                                         std::span<const double> factors) const;
    bool FitsAlone(int32_t width, int32_t height) const;
    int32_t SheetSide(int32_t used) const;
    void Record(const UItems_S& items, const UAttempt_S& attempt, UPackResult_S& result) const;

    USheetOptions_S spacing;
    UPackingOptions_S packing;
    unsigned threads;
    int32_t maxSheet;  // largest sheet side, a power of two when sides must be
    int32_t maxBin;    // the bin that sheet leaves for boxes
};

}  // namespace NS_Data
