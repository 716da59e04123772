#include "composition/USheetPlan_C.h"

#include "composition/GridPlanner.h"
#include "composition/PackPlanner.h"

namespace NS_Data {

USheetPlan_C USheetPlan_C::Make(const std::vector<const Picture_S*>& pictures,
                                const UComposeOptions_S& options,
                                const std::vector<std::string>* names) {
    return options.layout == ULayout_E::Packed ? PlanPacked(pictures, options, names)
                                               : PlanGrid(pictures, options);
}

URect_C USheetPlan_C::KeptArea(const Picture_S& picture, UTrim_E trim) {
    if (trim != UTrim_E::Each) {
        return URect_C::FromSize(picture.pixels.GetSize());
    }
    return picture.contentRect.IsNotEmpty() ? picture.contentRect : URect_C::FromSize({1, 1});
}

std::vector<UPackedFrame_S> USheetPlan_C::GetFrames(
    int32_t sheet, const std::vector<const Picture_S*>& pictures) const {
    std::vector<UPackedFrame_S> frames;
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const UPlacement_S& placement = placements[i];
        if (placement.sheet == sheet && placement.drawn == static_cast<int32_t>(i)) {
            frames.push_back({&pictures[i]->pixels, placement.frame.inSource,
                              placement.frame.onSheet.GetTopLeft(), placement.rotated});
        }
    }
    return frames;
}

}  // namespace NS_Data
