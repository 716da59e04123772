#pragma once

#include <cstdint>
#include <vector>

#include "composition/Picture_S.h"
#include "composition/UComposeOptions_S.h"
#include "composition/UFrame_S.h"
#include "composition/UPackedFrame_S.h"
#include "foundation/USize_C.h"

namespace NS_Data {

using NS_GroupElementDeclare::Picture_S;

// Where each picture lies when pictures are placed one by one rather than in one common cell:
// packed by MaxRects, or a grid whose cell is the largest of the pictures each trimmed to its
// own visible box. Packing may spread the pictures over several sheets (multipack), and lets
// identical pictures share one place.
class USheetPlan_C {
public:
    struct UPlacement_S {
        int32_t sheet = 0;
        // frame.onSheet keeps the picture's own width and height; a rotated frame covers them
        // turned, as the data file's forms expect.
        UFrame_S frame;
        bool rotated = false;
        // The picture whose pixels are drawn there: this one, or the first identical one.
        int32_t drawn = 0;
    };

    // Packs `pictures` (trimmed one by one with options.trim). Raises the group's code 4 with
    // the sizes when they do not fit, without multipack, one sheet of the largest side.
    static USheetPlan_C Pack(const std::vector<const Picture_S*>& pictures,
                             const UComposeOptions_S& options);
    // A row, a column or a grid as options.composeMode says, of cells as large as the largest
    // picture trimmed to its own box, each picture at its cell's top-left.
    static USheetPlan_C TrimmedGrid(const std::vector<const Picture_S*>& pictures,
                                    const UComposeOptions_S& options);

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
