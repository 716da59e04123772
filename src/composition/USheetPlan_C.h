#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "composition/Picture_S.h"
#include "composition/UComposeOptions_S.h"
#include "composition/UFrame_S.h"
#include "composition/UPackedFrame_S.h"
#include "foundation/USize_C.h"

namespace NS_Data {

using NS_GroupElementDeclare::Picture_S;

// Where each picture lies, whatever the layout: the sheets' sizes and, per picture, its sheet,
// its frame and whether it is stored turned. Each layout has a planner that makes it
// (GridPlanner, PackPlanner); the rows, the data file and the checks read only the plan.
class USheetPlan_C {
public:
    struct UPlacement_S {
        int32_t sheet = 0;
        // frame.onSheet keeps the picture's own width and height; a rotated frame covers them
        // turned, as the data file's forms expect.
        UFrame_S frame;
        bool rotated = false;
        // The picture whose pixels are drawn there: this one, the first identical one, or -1
        // when the frame holds nothing visible to draw.
        int32_t drawn = 0;
    };

    // The plan of options.layout for `pictures`, cut as options.trim says. Raises the limits'
    // errors (USheetLimits_C) when the sheet cannot be made, naming a picture too large for
    // any sheet by `names` (one per picture) where given.
    static USheetPlan_C Make(const std::vector<const Picture_S*>& pictures,
                             const UComposeOptions_S& options,
                             const std::vector<std::string>* names = nullptr);

    // The part of `picture` that goes on the sheet: its visible box when each picture is cut
    // to its own, else all of it. A picture with nothing visible keeps one transparent pixel,
    // never a zero-sized frame.
    static URect_C KeptArea(const Picture_S& picture, UTrim_E trim);

    USheetPlan_C(std::vector<USize_C> sheetSizes, std::vector<UPlacement_S> pictureplaces)
        : sheets(std::move(sheetSizes)), placements(std::move(pictureplaces)) {}

    const std::vector<USize_C>& GetSheets() const { return sheets; }
    // One per picture, in the pictures' order.
    const std::vector<UPlacement_S>& GetPlacements() const { return placements; }
    // What sheet `sheet` draws: every picture placed there that is drawn, once each.
    std::vector<UPackedFrame_S> GetFrames(int32_t sheet,
                                          const std::vector<const Picture_S*>& pictures) const;

private:
    std::vector<USize_C> sheets;
    std::vector<UPlacement_S> placements;
};

}  // namespace NS_Data
