#include "composition/USheetSummary_S.h"

namespace NS_Data {

USheetSummary_S USheetSummary_S::Of(const USheetPlan_C& plan) {
    USheetSummary_S summary;
    summary.sheets = plan.GetSheets();
    summary.pictures = static_cast<int32_t>(plan.GetPlacements().size());
    int64_t used = 0;
    for (std::size_t i = 0; i < plan.GetPlacements().size(); ++i) {
        const USheetPlan_C::UPlacement_S& placement = plan.GetPlacements()[i];
        if (placement.drawn >= 0 && placement.drawn != static_cast<int32_t>(i)) {
            ++summary.shared;
        } else {
            used += placement.frame.onSheet.GetCells();
        }
    }
    int64_t area = 0;
    for (const USize_C& sheet : summary.sheets) {
        area += int64_t{sheet.GetWidth()} * sheet.GetHeight();
    }
    summary.covered = area > 0 ? static_cast<double>(used) / static_cast<double>(area) : 0;
    return summary;
}

}  // namespace NS_Data
