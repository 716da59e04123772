#pragma once

#include "foundation/UPoint_C.h"
#include "foundation/URect_C.h"
#include "imaging/UPixels_C.h"

namespace NS_Data {

// One picture placed freely on a sheet.
struct UPackedFrame_S {
    // Fully transparent values stored as 0.
    const UPixels_C* picture = nullptr;
    // The part of the picture on the sheet, in the picture's own pixels ((0, 0) its first).
    URect_C kept;
    // The frame's top-left on the sheet, extrusion excluded.
    UPoint_C onSheet;
    // Stored turned 90 degrees clockwise: kept.GetHeight() wide and kept.GetWidth() high.
    bool rotated = false;

    URect_C GetSheetRect() const {
        return rotated ? URect_C::FromPointSize(onSheet, {kept.GetHeight(), kept.GetWidth()})
                       : URect_C::FromPointSize(onSheet, kept.GetSize());
    }
};

}  // namespace NS_Data
