#include "composition/GridPlanner.h"

#include "composition/USheetLayout_S.h"
#include "composition/USheetLimits_C.h"

namespace NS_Data {
namespace {

// What each picture brings to the common cell: its whole area, its visible box when all are
// cut to the common one, or, cut each to its own, its box moved to the cell's origin.
std::vector<URect_C> CellAreas(const std::vector<const Picture_S*>& pictures, UTrim_E trim) {
    std::vector<URect_C> areas;
    areas.reserve(pictures.size());
    for (const Picture_S* picture : pictures) {
        switch (trim) {
            case UTrim_E::None:
                areas.push_back(URect_C::FromSize(picture->pixels.GetSize()));
                break;
            case UTrim_E::Common:
                areas.push_back(picture->contentRect);
                break;
            case UTrim_E::Each:
                areas.push_back(
                    URect_C::FromSize(USheetPlan_C::KeptArea(*picture, trim).GetSize()));
                break;
        }
    }
    return areas;
}

// Picture `index` in its cell. Cut to its own box, the box lies at the cell's top-left; else the
// picture keeps its place in the common cell, and one with nothing inside it (wholly
// transparent) keeps one transparent pixel and is not drawn.
USheetPlan_C::UPlacement_S Place(const USheetLayout_S& layout, std::size_t index,
                                 const Picture_S& picture, UTrim_E trim) {
    const auto cell = static_cast<int64_t>(index);
    const USize_C size = picture.pixels.GetSize();
    if (trim == UTrim_E::Each) {
        const URect_C kept = USheetPlan_C::KeptArea(picture, trim);
        const URect_C onSheet = URect_C::FromPointSize(layout.GetCellOrigin(cell), kept.GetSize());
        return {0, {onSheet, kept, size}, false, static_cast<int32_t>(index)};
    }
    const bool visible = URect_C::FromSize(size).Intersection(layout.cell).IsNotEmpty();
    return {0, layout.PlaceFrame(cell, size), false, visible ? static_cast<int32_t>(index) : -1};
}

}  // namespace

USheetPlan_C PlanGrid(const std::vector<const Picture_S*>& pictures,
                      const UComposeOptions_S& options) {
    const USheetLayout_S layout =
        USheetLayout_S::Plan(CellAreas(pictures, options.trim), options.layout, options.sheet);
    USheetLimits_C::CheckSheet(layout, options.sheet.maxSize);
    std::vector<USheetPlan_C::UPlacement_S> placements;
    placements.reserve(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        placements.push_back(Place(layout, i, *pictures[i], options.trim));
    }
    const USize_C sheet{static_cast<int32_t>(layout.GetWidth()),
                        static_cast<int32_t>(layout.GetHeight())};
    return {{sheet}, std::move(placements)};
}

}  // namespace NS_Data
